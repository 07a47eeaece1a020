// Feeds bytes to the whole program as a .kolvo source file, with the sample
// composition data beside the executable, in the mode the input's size
// chooses:
//  - every input converts with status 0, leaves no temporary file, and
//    writes a complete mission.pld whose item lists hold the counts the run
//    shows;
//  - --check ends, leaves mission.pld alone, counts what the conversion
//    counted and places every finding within its file;
//  - --merge into the previous input's mission.pld keeps the bytes before
//    and after the chosen section, which becomes the one this input's
//    conversion wrote; a file FindSections refuses is left as it is. When
//    this fails, the previous input is saved as merge-base.kolvo in the
//    current folder, to be replayed first.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "driver/driver.h"
#include "fuzz/fuzz_check.h"
#include "writer/sections.h"

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
  const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
  const fs::path root = base / ("vexlar-fuzz-" + std::to_string(::getpid()));

  Workplace() {
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(base, ec)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("vexlar-fuzz-", 0) == 0 && ::kill(std::atoi(name.c_str() + 12), 0) != 0 &&
          errno == ESRCH) {
        fs::remove_all(entry.path(), ec);
      }
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
    long long items = 0, seen = 0;
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

// One run of the program whose executable is in `place`: its status and
// what it wrote to standard output and standard error.
struct Run {
  int status;
  std::string console, errors;
};
Run RunProgram(const fs::path& place, std::vector<std::string> args) {
  args.insert(args.begin(), (place / "vexlar").string());
  RunContext context;
  context.console = std::fopen((place / "console").c_str(), "wb");
  context.errors = std::fopen((place / "errors").c_str(), "wb");
  FUZZ_CHECK(context.console != nullptr && context.errors != nullptr);
  const int status = RunVexlar(args, context);
  std::fclose(context.console);
  std::fclose(context.errors);
  return {status, ReadFile(place / "console"), ReadFile(place / "errors")};
}

// No file of `folder` is a temporary mission.pld ("mission.pld.<id>.tmp").
bool NoTemporaryFile(const fs::path& folder) {
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".tmp") return false;
  return true;
}

// Whether `text` has a line `line` whose column `column` is a character of
// it or the place just past its end (both count from 1).
bool Within(std::string_view text, std::size_t line, std::size_t column) {
  for (; line > 1 && text.find('\n') != std::string_view::npos; --line)
    text.remove_prefix(text.find('\n') + 1);
  return line == 1 && column >= 1 && column <= std::min(text.find('\n'), text.size()) + 1;
}

// The output of --check: each "<path>:<line>:<column>: warning: ..." names a
// file and a place within it; the summary counts `count` findings.
void CheckFindings(const std::string& console, std::size_t count) {
  std::istringstream lines(console);
  std::string line, summary;
  while (std::getline(lines, line)) {
    summary = line;
    char path[4096];
    std::size_t number = 0, column = 0;
    int matched = 0;
    std::sscanf(line.c_str(), "%4095[^:]:%zu:%zu: warning: %n", path, &number, &column, &matched);
    if (matched == 0) continue;  // the summary, or the rest of a message that holds a line end
    FUZZ_CHECK(fs::is_regular_file(path) && Within(ReadFile(path), number, column));
  }
  FUZZ_CHECK(count == 0 ? console == "no findings\n"
                        : std::strtoul(summary.c_str(), nullptr, 10) == count);
}

void FuzzConversion(std::string_view bytes) {
  static const Workplace place;
  const fs::path source = place.root / "input.kolvo", mission = place.root / "mission.pld";
  // Where the sections of a conversion of an empty source start, then its
  // end. One conversion writes the three sections it does not choose empty.
  static const std::array<std::size_t, 5> starts = [&] {
    std::ofstream{source};
    FUZZ_CHECK(RunProgram(place.root, {source.string()}).status == 0);
    const std::string file = ReadFile(mission);
    std::array<std::size_t, 5> at{};
    for (std::size_t s = 0; s < 4; ++s)
      at[s] = file.find("\nclass " + std::string(kSectionNames[s]) + "\n") + 1;
    at[4] = file.size();
    return at;
  }();
  // Where section `s` of a file that one conversion wrote in `chosen` mode
  // stands, from "class" to its line end.
  const auto section = [](const std::string& file, std::size_t chosen, std::size_t s) {
    const std::size_t grown = file.size() - starts[4];  // the chosen one's bytes beyond empty
    return std::make_pair(starts[s] + (s > chosen ? grown : 0),
                          starts[s + 1] + (s >= chosen ? grown : 0));
  };
  static const std::string kModes[] = {"intro", "", "win", "loose"};
  const std::size_t mode = bytes.size() % 4;
  const auto with_mode = [&](std::vector<std::string> args) {
    if (!kModes[mode].empty()) args.insert(args.begin(), kModes[mode]);
    return args;
  };

  FUZZ_CHECK((std::ofstream(source, std::ios::binary) << bytes).flush().good());
  fs::remove(mission);
  fs::remove(place.root / "vexlar.log");  // the log is appended to
  const Run conversion = RunProgram(place.root, with_mode({source.string()}));
  FUZZ_CHECK(conversion.status == 0 && NoTemporaryFile(place.root));
  const std::string written = ReadFile(mission);
  FUZZ_CHECK(CheckMission(written) == Announced(conversion.console));

  // "vexlar: N things were left out ..." on standard error, or nothing.
  const std::string& errors = conversion.errors;
  const std::size_t count = errors.empty() ? 0 : std::strtoul(errors.c_str() + 8, nullptr, 10);
  FUZZ_CHECK(errors.empty() == (count == 0));
  const Run check = RunProgram(place.root, {"--check", source.string()});
  FUZZ_CHECK(check.status == (count == 0 ? 0 : 1) && ReadFile(mission) == written);
  CheckFindings(check.console, count);

  static std::string previous, previous_source;
  static std::size_t previous_mode = 0;
  if (!previous.empty()) {
    const fs::path folder = place.root / "merge";
    fs::create_directories(folder);
    std::ofstream(folder / "mission.pld", std::ios::binary) << previous;
    std::ofstream(folder / "input.kolvo", std::ios::binary) << bytes;
    const Run merge =
        RunProgram(place.root, with_mode({"--merge", (folder / "input.kolvo").string()}));
    const std::string merged = ReadFile(folder / "mission.pld");
    const auto [old_begin, old_end] = section(previous, previous_mode, mode);
    const auto [new_begin, new_end] = section(written, mode, mode);
    bool holds = NoTemporaryFile(folder);
    if (merge.status == 0) {
      holds = holds && merged == previous.substr(0, old_begin) +
                                     written.substr(new_begin, new_end - new_begin) +
                                     previous.substr(old_end);
    } else {
      holds = holds && merge.status == 1 && merged == previous &&
              !FindSections(previous).problem.empty();
    }
    if (!holds) std::ofstream("merge-base.kolvo", std::ios::binary) << previous_source;
    FUZZ_CHECK(holds);
  }
  previous = written;
  previous_source = std::string(bytes);
  previous_mode = mode;
}

}  // namespace
}  // namespace vexlar

FUZZ_TARGET(vexlar::FuzzConversion)
