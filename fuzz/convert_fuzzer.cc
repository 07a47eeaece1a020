// Feeds bytes to the whole program as a .kolvo source file, with the sample
// composition data beside the executable: every input converts with status
// 0, leaves no temporary file, and writes a complete mission.pld whose item
// lists hold the counts the run shows.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "driver/driver.h"
#include "fuzz/fuzz_check.h"
#include "writer/mission_writer.h"

namespace vexlar {
namespace {

namespace fs = std::filesystem;

// Item lists of mission.pld in file order: the list's class name and count.
using Listings = std::vector<std::pair<std::string, long long>>;

// A folder of this process, in memory when it can be (four times faster than
// on disk): the sample composition data beside the executable's name, and
// the source with its mission.pld. libFuzzer may end a run without
// destructors (on a finding, on an interrupt), so the folders of processes
// gone are removed first.
struct Workplace {
  static constexpr std::string_view kPrefix = "vexlar-fuzz-";
  const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
  const fs::path root = base / (std::string(kPrefix) + std::to_string(::getpid()));

  Workplace() {
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(base, ec)) {
      const std::string name = entry.path().filename().string();
      const pid_t pid = name.rfind(kPrefix, 0) == 0 ? std::atoi(name.c_str() + kPrefix.size()) : 0;
      if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) fs::remove_all(entry.path(), ec);
    }
    fs::remove_all(root);
    fs::copy(VEXLAR_DATA_DIR, root, fs::copy_options::recursive);
  }
  ~Workplace() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The lists the count lines of the run announce, in the order the writer
// shows them; an empty list is not written. The console rather than the log:
// a message cut at 511 characters loses its line end in the log only.
Listings Announced(const std::string& console) {
  static constexpr std::pair<std::string_view, std::string_view> kCountLines[] = {
      {"Groups: ", "Groups"},    {"Units in group ", "Vehicles"}, {"WP for group ", "Waypoints"},
      {"Triggers: ", "Sensors"}, {"Vehicles: ", "Vehicles"},      {"Markers: ", "Markers"}};
  Listings announced;
  std::istringstream lines(console);
  for (std::string line; std::getline(lines, line);) {
    for (const auto& [prefix, name] : kCountLines) {
      if (line.rfind(prefix, 0) != 0) continue;
      const long long count = std::stoll(line.substr(line.rfind(": ") + 2));
      if (count > 0) announced.emplace_back(name, count);
    }
  }
  return announced;
}

// Walks mission.pld: its sections in order, each class closed at its own
// indent, every "items=N" followed by exactly "class Item0" to "ItemN-1" at
// one tab more, and the vehicle ids (of the units, then of the empty
// vehicles) counting from 0. Returns the item lists.
Listings CheckMission(const std::string& mission) {
  struct Open {
    std::string name;
    long long items = 0;
    long long seen = 0;
  };
  std::vector<Open> open;
  std::vector<std::string> sections;
  Listings listings;
  long long next_id = 0;
  std::istringstream lines(mission);
  std::string line;
  FUZZ_CHECK(std::getline(lines, line) && line == "version=11;");
  while (std::getline(lines, line)) {
    const std::size_t depth = std::min(line.find_first_not_of('\t'), line.size());
    const std::string text = line.substr(depth);
    if (depth + 1 == open.size() && text == "};") {
      FUZZ_CHECK(open.back().seen == open.back().items);
      open.pop_back();
    } else if (depth != open.size()) {
      continue;  // a brace, or the rest of a value that ends in a line end
    } else if (text.rfind("class ", 0) == 0) {
      if (open.empty()) {
        sections.push_back(text.substr(6));
      } else if (text.rfind("class Item", 0) == 0) {
        FUZZ_CHECK(text == "class Item" + std::to_string(open.back().seen++));
      }
      open.push_back({text.substr(6)});
    } else if (!open.empty() && text.rfind("items=", 0) == 0) {
      listings.emplace_back(open.back().name, open.back().items = std::stoll(text.substr(6)));
    } else if (text.rfind("id=", 0) == 0) {
      FUZZ_CHECK(text == "id=" + std::to_string(next_id++) + ";");
    }
  }
  FUZZ_CHECK(open.empty() && mission.back() == '\n');
  FUZZ_CHECK(sections == (std::vector<std::string>{"Intro", "Mission", "OutroWin", "OutroLoose"}));
  return listings;
}

void FuzzConversion(std::string_view bytes) {
  static const Workplace place;
  const fs::path source = place.root / "input.kolvo";
  const fs::path mission = place.root / "mission.pld";
  FUZZ_CHECK((std::ofstream(source, std::ios::binary) << bytes).flush().good());
  fs::remove(mission);
  fs::remove(place.root / "vexlar.log");  // the log is appended to
  std::FILE* console = std::fopen((place.root / "console").c_str(), "wb");
  FUZZ_CHECK(console != nullptr);
  const int status =
      RunVexlar({(place.root / "vexlar").string(), source.string()}, console, std::tm{});
  std::fclose(console);
  FUZZ_CHECK(status == 0 && !fs::exists(TemporaryPathFor(mission.string())));
  FUZZ_CHECK(CheckMission(ReadFile(mission)) == Announced(ReadFile(place.root / "console")));
}

}  // namespace
}  // namespace vexlar

FUZZ_TARGET(vexlar::FuzzConversion)
