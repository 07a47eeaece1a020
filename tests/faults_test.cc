// End-to-end runs against hostile surroundings and hostile bytes: files that
// are folders, a log that cannot be written, empty files, NUL bytes, very
// long lines and values, deeply doubled quotes, and paths at the length
// limit. Every run must end with its status, keep an existing mission.pld
// when it fails, and leave a complete one when it succeeds.
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "driver/run_log.h"
#include "driver/run_state.h"
#include "platform/platform.h"
#include "reader/reader.h"
#include "store/store.h"
#include "tests/test_util.h"
#include "writer/mission_writer.h"

namespace vexlar {
namespace {

namespace fs = std::filesystem;
using test::RunInProcess;
using test::RunResult;
using test::TempFolder;

constexpr char kEmptyIntel[] =
    "\tclass Intel\n\t{\n\t\tstartWeather=0.40000001;\n\t\tforecastWeather=0.25;\n"
    "\t\tyear=2008;\n\t\tmonth=10;\n\t\tday=11;\n\t\thour=14;\n\t\tminute=20;\n\t};\n";

std::string EmptySection(const std::string& name) {
  return "class " + name + "\n{\n\taddOns[]={};\n\taddOnsAuto[]={};\n\trandomSeed=7826573;\n" +
         kEmptyIntel + "};\n";
}

// The composition data of these tests: the type camp, whose script makes
// two vehicles.
constexpr char kConfig[] =
    "class CfgDynO\n{\n\tclass camp\n\t{\n\t\tobjectScript = \"\\dyno\\camp.txt\";\n\t};\n};\n";
constexpr char kScript[] = "[\"Tent\",[1,2],0]\n[\"Jeep\",[3,4,0],90,0.5,0.1]\n";

std::string Object(const std::string& header, const std::string& type,
                   const std::string& arguments) {
  return "class " + header + "\n{\n\tobjectType=\"" + type + "\";\n\tclass Arguments\n\t{\n" +
         arguments + "\t};\n};\n";
}

const std::string kCamp =
    Object("_oc_1", "objectComposition", "\t\tTYPE=\"camp\";\n\t\tPOSITION=\"[100,200,0]\";\n");
const std::string kMarker = Object("_marker_2", "marker", "\t\tTEXT=\"flag\";\n");

// A folder with bin/ (the executable's name and the composition data) and
// m/ (the source, beside an older mission.pld).
class Surroundings {
 public:
  Surroundings() {
    test::WriteFile(config(), kConfig);
    test::WriteFile(script(), kScript);
    test::WriteFile(source(), kCamp + kMarker);
    test::WriteFile(mission(), "keep me");
  }
  std::string executable() const { return folder_.Path("bin/vexlar"); }
  std::string config() const { return folder_.Path("bin/DynO.cpp"); }
  std::string script() const { return folder_.Path("bin/DynO/camp.txt"); }
  std::string source() const { return folder_.Path("m/attack.kolvo"); }
  std::string mission() const { return folder_.Path("m/mission.pld"); }
  std::string Path(const std::string& name) const { return folder_.Path(name); }
  // The path of "source", "config" or "script".
  std::string PathOf(const std::string& file) const {
    return file == "source" ? source() : file == "config" ? config() : script();
  }

  RunResult Convert() const { return RunInProcess(executable(), {source()}); }

  // Replaces the file at `path` with a folder that holds a file.
  void MakeFolder(const std::string& path) const {
    fs::remove(path);
    test::WriteFile(path + platform::kSeparator + "inside", "inside");
  }

 private:
  TempFolder folder_;
};

// Everything below `root`, each file with its bytes.
std::set<std::string> Listing(const std::string& root) {
  std::set<std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    std::string line = entry.path().string();
    if (entry.is_regular_file()) line += " " + test::ReadFile(entry.path().string());
    entries.insert(line);
  }
  return entries;
}

// The count that the log line "<what>: N" gives, or -1 without one.
long Count(const std::string& log, const std::string& what) {
  const std::string key = what + ": ";
  const std::size_t at = log.find(key);
  return at == std::string::npos ? -1 : std::stol(log.substr(at + key.size()));
}

// A successful run's file: complete from its version line to the end of
// the last section, and no temporary file beside it.
void ExpectComplete(const Surroundings& place, const RunResult& run, const std::string& what) {
  EXPECT_EQ(0, run.status) << what;
  const std::string mission = test::ReadFile(place.mission());
  EXPECT_EQ(0u, mission.rfind("version=11;\n" + EmptySection("Intro") + "class Mission\n", 0))
      << what;
  const std::string tail = EmptySection("OutroWin") + EmptySection("OutroLoose");
  EXPECT_TRUE(mission.size() > tail.size() &&
              mission.compare(mission.size() - tail.size(), tail.size(), tail) == 0)
      << what;
  EXPECT_FALSE(test::FileExists(TemporaryPathFor(place.mission()))) << what;
}

// `message` with its "{P}" replaced by `path`.
std::string WithPath(std::string message, const std::string& path) {
  const std::size_t mark = message.find("{P}");
  if (mark != std::string::npos) message.replace(mark, 3, path);
  return message;
}

// The most characters in one line of `text`.
std::size_t LongestLine(const std::string& text) {
  std::size_t longest = 0;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    longest = std::max(longest, end - start);
    start = end + 1;
  }
  return longest;
}

TEST(Faults, MissionPathIsAFolder) {
  Surroundings place;
  fs::remove(place.mission());
  place.MakeFolder(place.mission());
  const std::set<std::string> before = Listing(place.Path("m"));
  const RunResult run = place.Convert();
  EXPECT_EQ(1, run.status);
  // The driver folds the path it is given to lower case, so the message shows it folded.
  std::string shown = place.mission();
  for (char& c : shown) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  const std::string failure = "Cannot write mission file!\nPath: " + shown + "\n";
  ASSERT_GE(run.log_body.size(), failure.size());
  EXPECT_EQ(failure, run.log_body.substr(run.log_body.size() - failure.size()));
  EXPECT_EQ(before, Listing(place.Path("m")));
}

TEST(Faults, MissionFolderIsMissing) {
  TempFolder folder;
  ObjectStore store;
  ReadSourceText(store.KeepText(kMarker), &store);
  RunPaths paths;
  paths.source_path = folder.Path("gone/attack.kolvo");
  paths.program_directory = folder.Path("bin/");
  std::FILE* console = std::tmpfile();
  ASSERT_NE(nullptr, console);
  RunLog log(folder.Path("run.log"), console);
  EXPECT_FALSE(WriteMissionFile(kModeMission, paths, &store, &log));
  std::fclose(console);
  EXPECT_EQ("Cannot write mission file!\nPath: " + folder.Path("gone/mission.pld") + "\n",
            test::ReadFile(folder.Path("run.log")));
  EXPECT_FALSE(test::FileExists(folder.Path("gone")));
}

// The log path is a folder: the file gets nothing, the console everything.
TEST(Faults, UnwritableLogDuringAConversion) {
  Surroundings place;
  test::WriteFile(place.Path("bin/vexlar.log/inside"), "inside");
  const RunResult run = place.Convert();
  ExpectComplete(place, run, "unwritable log");
  const std::vector<std::string> messages = {
      "Mode: 1",
      "Converting from 3d to 2d editor...",
      "DynO config file: " + place.config(),
      "DynO script name: camp.txt",
      "DynO object class: Tent",
      "DynO object class: Jeep",
      "Groups: 0",
      "Triggers: 0",
      "Vehicles: 2",
      "Markers: 1",
  };
  std::size_t at = 0;
  for (const std::string& message : messages) {
    at = run.console.find(message + "\n\n", at);
    EXPECT_NE(std::string::npos, at) << message << "\n" << run.console;
  }
  EXPECT_EQ("inside", test::ReadFile(place.Path("bin/vexlar.log/inside")));
}

// A folder where a file is expected reads as a file that cannot be opened.
TEST(Faults, FolderInPlaceOfAFile) {
  const struct {
    const char* which;
    int status;
    const char* message;  // {P} is the folder's path
    long vehicles;        // -1: the writer does not run
  } cases[] = {
      {"source", 1, "CKOLVO: Cannot open file!\n", -1},
      {"config", 0, "Cannot open DynO config file!\nPath: {P}\n", 0},
      {"script", 0, "Cannot open script file!\nPath: {P}\n", 0},
  };
  for (const auto& c : cases) {
    Surroundings place;
    const std::string which = c.which;
    const std::string path = place.PathOf(which);
    place.MakeFolder(path);
    const RunResult run = place.Convert();
    EXPECT_EQ(c.status, run.status) << which;
    const std::string message = WithPath(c.message, path);
    EXPECT_NE(std::string::npos, run.log_body.find(message)) << which << "\n" << run.log_body;
    EXPECT_EQ(c.vehicles, Count(run.log_body, "Vehicles")) << which;
    if (c.status == 0) {
      ExpectComplete(place, run, which);
    } else {
      EXPECT_EQ("keep me", test::ReadFile(place.mission())) << which;
    }
    EXPECT_EQ("inside", test::ReadFile(path + platform::kSeparator + "inside")) << which;
  }
}

#ifndef _WIN32
// A pipe, which would wait for a writer, or a file too large to hold reads
// as a file that cannot be opened.
TEST(Faults, PipesAndHugeFiles) {
  const struct {
    const char* file;
    bool pipe;  // else a sparse file beyond the read limit
    int status;
    const char* message;  // {P} is the file's path
  } cases[] = {
      {"source", true, 1, "CKOLVO: Cannot open file!\n"},
      {"source", false, 1, "CKOLVO: Cannot open file!\n"},
      {"config", true, 0, "Cannot open DynO config file!\nPath: {P}\n"},
      {"config", false, 0, "Cannot open DynO config file!\nPath: {P}\n"},
      {"script", true, 0, "Cannot open script file!\nPath: {P}\n"},
  };
  for (const auto& c : cases) {
    Surroundings place;
    const std::string file = c.file;
    const std::string what = file + (c.pipe ? " pipe" : " too large");
    const std::string path = place.PathOf(file);
    fs::remove(path);
    if (c.pipe) {
      ASSERT_EQ(0, ::mkfifo(path.c_str(), 0600)) << what;
    } else {
      test::WriteFile(path, kCamp);
      fs::resize_file(path, platform::kMaxReadSize + 1);
    }
    const RunResult run = place.Convert();
    EXPECT_EQ(c.status, run.status) << what;
    const std::string message = WithPath(c.message, path);
    EXPECT_NE(std::string::npos, run.log_body.find(message)) << what << "\n" << run.log_body;
    if (c.status == 0) {
      ExpectComplete(place, run, what);
      EXPECT_EQ(0, Count(run.log_body, "Vehicles")) << what;
    } else {
      EXPECT_EQ("keep me", test::ReadFile(place.mission())) << what;
    }
  }
}
#endif  // _WIN32

// Hostile bytes in each of the three files a conversion reads. The source
// otherwise holds the composition and the marker; each case says how many
// vehicles and markers come out.
TEST(Faults, HostileBytes) {
  const std::string nul_bytes(64 * 1024, '\0');
  const std::string long_line(10 * 1000 * 1000, 'x');
  const std::string long_value(100 * 1000, 'v');
  std::string nested;  // ten thousand doubled quotes on either side of a word
  for (int i = 0; i < 10000; ++i) nested += "\"\"";
  nested += "word" + nested;
  const struct {
    const char* what;
    const char* file;  // "source", "config" or "script"
    std::string bytes;
    long vehicles;
    long markers;
    const char* line;  // a line the mission must hold, or null
  } cases[] = {
      {"empty source", "source", "", 0, 0, nullptr},
      {"empty config", "config", "", 0, 1, nullptr},
      {"empty script", "script", "", 0, 1, nullptr},
      {"NUL source", "source", nul_bytes, 0, 0, nullptr},
      {"NUL config", "config", nul_bytes, 0, 1, nullptr},
      {"NUL script", "script", nul_bytes, 0, 1, nullptr},
      {"NUL bytes before the source", "source", nul_bytes + kCamp + kMarker, 2, 1, nullptr},
      {"NUL bytes before the config", "config", nul_bytes + "\n" + kConfig, 2, 1, nullptr},
      {"NUL bytes before the script", "script", nul_bytes + "\n" + kScript, 2, 1, nullptr},
      {"long line before the source", "source", long_line + "\n" + kCamp + kMarker, 2, 1, nullptr},
      {"long line before the config", "config", long_line + "\n" + kConfig, 2, 1, nullptr},
      {"long line before the script", "script", long_line + "\n" + kScript, 2, 1, nullptr},
      {"long value in the source", "source",
       Object("_marker_0", "marker", "\t\tTEXT=\"" + long_line + "\";\n"), 0, 1,
       "\t\t\ttext=\"xxxxxxxxxx"},
      {"long class name in the script", "script", "[\"" + long_line + "\",[1,2],0]\n" + kScript, 2,
       1, nullptr},
      {"nested quotes in the source", "source",
       Object("_marker_0", "marker", "\t\tTEXT=\"" + nested + "\";\n"), 0, 1,
       "\t\t\ttext=\"\"\"\"\""},
      {"nested quotes before the config", "config", nested + "\n" + kConfig, 2, 1, nullptr},
      {"nested quotes in the script", "script", "[\"" + nested + "\",[1,2],0]\n" + kScript, 2, 1,
       nullptr},
      {"long value then another argument", "source",
       kCamp +
           Object("_marker_2", "marker", "\t\tTEXT=\"" + long_value + "\";\n\t\tNAME=\"after\";\n"),
       2, 1, "\t\t\tname=\"after\";"},
      {"long script path in the config", "config",
       "class camp { objectScript = \"\\dyno\\" + long_value + "\"; };\n", 0, 1, nullptr},
  };
  for (const auto& c : cases) {
    Surroundings place;
    test::WriteFile(place.PathOf(c.file), c.bytes);
    const RunResult run = place.Convert();
    ExpectComplete(place, run, c.what);
    EXPECT_EQ(c.vehicles, Count(run.log_body, "Vehicles")) << c.what;
    EXPECT_EQ(c.markers, Count(run.log_body, "Markers")) << c.what;
    const std::string mission = test::ReadFile(place.mission());
    // No value is taken beyond its 1023-character look.
    EXPECT_LT(LongestLine(mission), 1100u) << c.what;
    if (c.line != nullptr) {
      EXPECT_NE(std::string::npos, mission.find(std::string("\n") + c.line)) << c.what;
    }
  }
}

// Runs of quotes that the doubled-quote rule, followed literally, searches
// again and again: two megabytes of such lines once took a minute. The
// run lengths were found by a search for the slowest line; a negative
// length is a run of other characters.
TEST(Faults, QuoteRunsTakeBoundedTime) {
  constexpr int kRuns[] = {38, -1, 46, -1, 33, -2, 40, -1, 35, -2, 14, -1, 79, -1, 51, -2, 45,
                           -2, 22, -1, 20, -2, 56, -2, 27, -2, 35, -2, 17, -1, 24, -2, 12, -1,
                           5,  -2, 39, -2, 8,  -1, 33, -2, 21, -2, 54, -1, 7,  -2, 34, -1, 24,
                           -2, 19, -2, 1,  -1, 63, -2, 45, -1, 9,  -2, 7,  -1, 9};
  std::string line = "\t\tTEXT=";
  for (const int run : kRuns)
    line.append(static_cast<std::size_t>(run < 0 ? -run : run), run < 0 ? 'x' : '"');
  line += "\n";
  std::string lines;
  while (lines.size() < 2 * 1000 * 1000) lines += line;
  Surroundings place;
  test::WriteFile(place.source(), Object("_marker_0", "marker", lines));
  const auto start = std::chrono::steady_clock::now();
  const RunResult run = place.Convert();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  ExpectComplete(place, run, "quote runs");
  EXPECT_EQ(1, Count(run.log_body, "Markers"));
  EXPECT_LT(took.count(), 30.0);
}

// Full paths of up to 260 characters are accepted, longer ones refused.
// Windows itself cannot create a file at a 260-character path (its limit
// holds the terminating NUL), so there only the refusal is tried.
TEST(Faults, PathLengthLimit) {
  for (const std::size_t length : {platform::kMaxFullPath, platform::kMaxFullPath + 1}) {
    if (platform::kSeparator == '\\' && length <= platform::kMaxFullPath) continue;
    TempFolder folder;
    const std::string base = folder.Path("m/");
    const std::string name = "attack.kolvo";
    ASSERT_LT(base.size() + name.size() + 2, length);
    const std::string padding(length - base.size() - name.size() - 1, 'p');
    const std::string source = base + padding + platform::kSeparator + name;
    ASSERT_EQ(length, source.size());
    test::WriteFile(source, kMarker);
    test::WriteFile(base + padding + platform::kSeparator + "mission.pld", "keep me");
    const RunResult run = RunInProcess(folder.Path("bin/vexlar"), {source});
    const std::string mission =
        test::ReadFile(base + padding + platform::kSeparator + "mission.pld");
    if (length <= platform::kMaxFullPath) {
      EXPECT_EQ(0, run.status) << length;
      EXPECT_EQ(0u, mission.rfind("version=11;\n", 0)) << length;
    } else {
      EXPECT_EQ(1, run.status) << length;
      EXPECT_EQ("ERROR: Invalid path to file!\n", run.log_body) << length;
      EXPECT_EQ("keep me", mission) << length;
    }
  }
}

}  // namespace
}  // namespace vexlar
