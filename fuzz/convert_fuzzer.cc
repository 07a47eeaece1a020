// Feeds bytes to the whole program as a .kolvo source file, with the sample
// composition data beside the executable, and checks what must hold for
// every input: the run ends with status 0, mission.pld is complete and no
// temporary file is left, the items written match the counts logged, and a
// second conversion of the same bytes gives the same file, log and console.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "driver/driver.h"
#include "fuzz/fuzz_check.h"
#include "writer/mission_writer.h"

namespace vexlar {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kEmptyIntel =
    "\tclass Intel\n\t{\n\t\tstartWeather=0.40000001;\n\t\tforecastWeather=0.25;\n"
    "\t\tyear=2008;\n\t\tmonth=10;\n\t\tday=11;\n\t\thour=14;\n\t\tminute=20;\n\t};\n";

std::string EmptySection(std::string_view name) {
  std::string text = "class ";
  text += name;
  text += "\n{\n\taddOns[]={};\n\taddOnsAuto[]={};\n\trandomSeed=7826573;\n";
  text += kEmptyIntel;
  text += "};\n";
  return text;
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  FUZZ_CHECK(out.good());
}

// A folder of its own for this process: bin/ with the executable's name and
// the sample composition data, m/ for the source. Memory-backed when it can
// be, since every input is written and converted twice.
struct Workplace {
  fs::path root;
  fs::path executable;
  fs::path source;
  fs::path log;
  fs::path mission;

  Workplace() {
    const fs::path base =
        fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    RemoveAbandoned(base);
    root = base / (std::string(kPrefix) + std::to_string(static_cast<long>(::getpid())));
    fs::remove_all(root);
    fs::create_directories(root / "bin");
    fs::create_directories(root / "m");
    fs::copy(VEXLAR_DATA_DIR, root / "bin", fs::copy_options::recursive);
    executable = root / "bin" / "vexlar";
    source = root / "m" / "input.kolvo";
    log = root / "bin" / "vexlar.log";
    mission = root / "m" / "mission.pld";
  }
  ~Workplace() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }

  // libFuzzer ends a run without destructors (at its time limit, on a
  // finding, on an interrupt): the folders of processes gone are removed here.
  static void RemoveAbandoned(const fs::path& base) {
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(base, ec)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind(kPrefix, 0) != 0) continue;
      const long pid = std::strtol(name.c_str() + kPrefix.size(), nullptr, 10);
      if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
        fs::remove_all(entry.path(), ec);
      }
    }
  }

  static constexpr std::string_view kPrefix = "vexlar-fuzz-";
};

struct Run {
  int status = -1;
  std::string console;
  std::string log;
  std::string mission;
};

Run Convert(const Workplace& place) {
  fs::remove(place.log);
  fs::remove(place.mission);
  char* console_text = nullptr;
  std::size_t console_size = 0;
  std::FILE* console = open_memstream(&console_text, &console_size);
  FUZZ_CHECK(console != nullptr);
  const std::tm start_time{};
  Run run;
  run.status = RunVexlar({place.executable.string(), place.source.string()}, console, start_time);
  std::fclose(console);
  run.console.assign(console_text, console_size);
  std::free(console_text);
  run.log = ReadBytes(place.log);
  run.mission = ReadBytes(place.mission);
  FUZZ_CHECK(!fs::exists(TemporaryPathFor(place.mission.string())));
  return run;
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The whole decimal number `text` holds, or -1.
long long NumberOf(std::string_view text) {
  if (text.empty() || text.size() > 12) return -1;
  long long number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    number = number * 10 + (c - '0');
  }
  return number;
}

// Reads the class of mission.pld whose class line is lines[*at], at `tabs`
// tabs: its items line must give `logged`, and exactly that many
// "class ItemK" lines must follow at one tab more, K counting from 0, before
// the class closes. Leaves *at on the closing line.
void CheckClass(const std::vector<std::string_view>& lines, std::size_t* at, std::size_t tabs,
                long long logged) {
  const std::string indent(tabs, '\t');
  const std::string item = indent + "\tclass Item";
  FUZZ_CHECK(logged > 0);
  FUZZ_CHECK(*at + 2 < lines.size() && lines[*at + 1] == indent + "{");
  FUZZ_CHECK(lines[*at + 2] == indent + "\titems=" + std::to_string(logged) + ";");
  long long items = 0;
  for (*at += 3; *at < lines.size() && lines[*at] != indent + "};"; ++*at) {
    if (StartsWith(lines[*at], item)) {
      FUZZ_CHECK(lines[*at] == item + std::to_string(items));
      ++items;
    }
  }
  FUZZ_CHECK(*at < lines.size());
  FUZZ_CHECK(items == logged);
}

// Every line of `lines` from `begin` to `end` that starts with `prefix` must
// be `prefix` followed by the next id and ";".
void CheckIds(const std::vector<std::string_view>& lines, std::size_t begin, std::size_t end,
              std::string_view prefix, long long* next_id) {
  for (std::size_t k = begin; k < end; ++k) {
    if (StartsWith(lines[k], prefix)) {
      FUZZ_CHECK(lines[k] == std::string(prefix) + std::to_string((*next_id)++) + ";");
    }
  }
}

// The count lines of the console, in the order the writer logs them. The
// console rather than the log: a message cut at 511 characters loses its
// line end in the log, but the console adds one after every message.
class CountLines {
 public:
  explicit CountLines(std::string_view console) : lines_(Lines(console)) {}
  // The count of the next line that starts with `prefix`: the number after
  // its last ": ".
  long long Next(std::string_view prefix) {
    while (next_ < lines_.size() && !StartsWith(lines_[next_], prefix)) ++next_;
    FUZZ_CHECK(next_ < lines_.size());
    const std::string_view line = lines_[next_++];
    const long long count = NumberOf(line.substr(line.rfind(": ") + 2));
    FUZZ_CHECK(count >= 0);
    return count;
  }

 private:
  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
};

// Matches the classes of the Mission section of `mission` with the counts
// shown on `console`; item ids run from 0 through the units into the empty
// vehicles.
void CheckCounts(const std::string& mission, const std::string& console) {
  CountLines logged(console);
  const std::vector<std::string_view> lines = Lines(mission);
  std::size_t at = 0;
  while (at < lines.size() && lines[at] != "class Mission") ++at;
  while (at < lines.size() && lines[at] != "\tclass Intel") ++at;
  while (at < lines.size() && lines[at] != "\t};") ++at;
  FUZZ_CHECK(at < lines.size());
  long long next_id = 0;

  const long long groups = logged.Next("Groups: ");
  if (groups > 0) {
    while (at < lines.size() && lines[at] != "\tclass Groups") ++at;
    FUZZ_CHECK(at < lines.size());
    const std::size_t groups_start = at;
    CheckClass(lines, &at, 1, groups);
    CheckIds(lines, groups_start, at, "\t\t\t\t\tid=", &next_id);
    for (std::size_t g = groups_start; g < at; ++g) {
      if (!StartsWith(lines[g], "\t\tclass Item")) continue;
      const long long units = logged.Next("Units in group ");
      const long long waypoints = logged.Next("WP for group ");
      std::size_t item_end = g + 1;
      while (item_end < at && lines[item_end] != "\t\t};") ++item_end;
      FUZZ_CHECK(item_end < at);
      bool units_seen = false;
      bool waypoints_seen = false;
      for (std::size_t k = g + 1; k < item_end; ++k) {
        if (lines[k] == "\t\t\tclass Vehicles") {
          FUZZ_CHECK(!units_seen && !waypoints_seen);
          CheckClass(lines, &k, 3, units);
          units_seen = true;
        } else if (lines[k] == "\t\t\tclass Waypoints") {
          FUZZ_CHECK(!waypoints_seen);
          CheckClass(lines, &k, 3, waypoints);
          waypoints_seen = true;
        }
      }
      FUZZ_CHECK(units_seen == (units > 0));
      FUZZ_CHECK(waypoints_seen == (waypoints > 0));
    }
  }
  const struct {
    std::string_view log_prefix;
    std::string_view class_line;
  } classes[] = {{"Triggers: ", "\tclass Sensors"},
                 {"Vehicles: ", "\tclass Vehicles"},
                 {"Markers: ", "\tclass Markers"}};
  for (const auto& c : classes) {
    const long long count = logged.Next(c.log_prefix);
    if (count == 0) continue;
    while (at < lines.size() && lines[at] != c.class_line) ++at;
    FUZZ_CHECK(at < lines.size());
    const std::size_t start = at;
    CheckClass(lines, &at, 1, count);
    if (c.class_line == "\tclass Vehicles") CheckIds(lines, start, at, "\t\t\tid=", &next_id);
  }
  // The section closes at column 0 right after its last class, or after
  // the Intel class when it has no other.
  FUZZ_CHECK(at + 1 < lines.size() && lines[at + 1] == "};");
}

void FuzzConversion(std::string_view bytes) {
  static const Workplace place;
  WriteBytes(place.source, bytes);
  const Run first = Convert(place);
  FUZZ_CHECK(first.status == 0);
  const std::string intro = "version=11;\n" + EmptySection("Intro") + "class Mission\n";
  const std::string outros = EmptySection("OutroWin") + EmptySection("OutroLoose");
  FUZZ_CHECK(StartsWith(first.mission, intro));
  FUZZ_CHECK(first.mission.size() >= intro.size() + outros.size());
  FUZZ_CHECK(first.mission.compare(first.mission.size() - outros.size(), outros.size(), outros) ==
             0);
  CheckCounts(first.mission, first.console);

  const Run second = Convert(place);
  FUZZ_CHECK(second.status == 0);
  FUZZ_CHECK(first.mission == second.mission);
  FUZZ_CHECK(first.log == second.log);
  FUZZ_CHECK(first.console == second.console);
}

}  // namespace
}  // namespace vexlar

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vexlar::FuzzConversion(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
