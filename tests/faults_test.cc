// End-to-end runs against hostile surroundings and hostile bytes: files that
// are folders, pipes or too large, a log that cannot be written, empty files,
// NUL bytes, very long lines and values, deeply doubled quotes, and paths at
// the length limit. Every run ends with its status and adds no file beside
// the source (no mission.pld.tmp); a failed run keeps an existing
// mission.pld, a successful one leaves it complete.
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "platform/platform.h"
#include "tests/test_util.h"
#include "writer/mission_writer.h"

namespace vexlar {
namespace {

namespace fs = std::filesystem;
using test::RunResult;
using test::Surroundings;

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    names.insert(entry.path().string());
  return names;
}

// The count that the log line "<what>: N" gives, or -1 without one.
long Count(const std::string& log, const std::string& what) {
  const std::size_t at = log.find(what + ": ");
  return at == std::string::npos ? -1 : std::stol(log.substr(at + what.size() + 2));
}

// Converts `source` (by default that of `place`) and checks what every run
// guarantees.
RunResult Convert(const Surroundings& place, int status, const std::string& what,
                  std::string source = "") {
  if (source.empty()) source = place.source;
  const std::string folder = source.substr(0, source.rfind(platform::kSeparator) + 1);
  const std::set<std::string> before = Names(folder);
  const RunResult run = test::RunInProcess(place.executable, {source});
  EXPECT_EQ(status, run.status) << what << "\n" << run.log_body;
  EXPECT_EQ(before, Names(folder)) << what;
  const std::string mission = test::ReadFile(folder + "Mission.pld");
  if (status != 0) {
    EXPECT_TRUE(fs::is_directory(folder + "Mission.pld") || mission == "keep me") << what;
    return run;
  }
  // Complete: from the version line to the end of the last section, empty here.
  const std::string golden = test::ReadFile(VEXLAR_SOURCE_DIR "/tests/cases/bundled-example/expect/mission.pld");
  const std::string tail = golden.substr(golden.rfind("class OutroWin\n"));
  EXPECT_EQ(0u, mission.rfind("version=11;\n", 0)) << what;
  EXPECT_EQ(tail, mission.substr(mission.size() - std::min(mission.size(), tail.size()))) << what;
  return run;
}

// With the log path a folder the conversion still succeeds and the console
// shows what it shows with a writable log: every message, each followed by
// an empty line.
TEST(Faults, UnwritableLogLeavesTheConsoleWhole) {
  Surroundings writable, place;
  const RunResult expected = Convert(writable, 0, "writable log");
  test::WriteFile(place.Path("bin/vexlar.log/inside"), "inside");
  const RunResult run = Convert(place, 0, "unwritable log");
  EXPECT_EQ(test::Replace(expected.console, writable.Path(""), place.Path("")), run.console);
  EXPECT_EQ(test::Replace(expected.log_body, "\n", "\n\n"), expected.console);
  EXPECT_EQ(2, Count(run.console, "Vehicles"));
  EXPECT_EQ("inside", test::ReadFile(place.Path("bin/vexlar.log/inside")));
}

#ifndef _WIN32
// A console nobody reads any more (`vexlar m.kolvo | head -1`) ends the
// messages on it, not the run: the built program converts with its console a
// pipe whose reading end is already closed.
TEST(Faults, ClosedConsoleDoesNotStopTheConversion) {
  Surroundings place;
  const std::set<std::string> before = Names(place.Path("M"));
  int pipe_ends[2];
  ASSERT_EQ(0, ::pipe(pipe_ends));
  ::close(pipe_ends[0]);
  const pid_t child = ::fork();
  ASSERT_NE(-1, child);
  if (child == 0) {
    std::signal(SIGPIPE, SIG_DFL);  // as a shell starts it
    ::dup2(pipe_ends[1], STDOUT_FILENO);
    ::execl(VEXLAR_EXE, VEXLAR_EXE, place.source.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(pipe_ends[1]);
  int status = 0;
  ASSERT_EQ(child, ::waitpid(child, &status, 0));
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(0, WEXITSTATUS(status));
  EXPECT_EQ(0u, test::ReadFile(place.mission).find("version=11;\n"));
  EXPECT_EQ(before, Names(place.Path("M")));  // no mission.pld.tmp left
}
#endif

// A folder, a pipe (which would wait for a writer) or a file beyond the read
// limit where a file is read counts as a file that cannot be opened; a
// mission.pld that is a folder cannot be replaced.
TEST(Faults, UnusableFilesAreReportedAndTouchNothing) {
  const struct {
    std::string Surroundings::*file;
    char kind;  // 'd' folder, 'p' pipe, 'h' huge sparse file
    int status;
    const char* message;  // {P} is the file's path, {L} that path in lower case
    long vehicles;        // -1: the writer does not run
  } cases[] = {
      {&Surroundings::source, 'd', 1, "CKOLVO: Cannot open file!\n", -1},
      {&Surroundings::config, 'd', 0, "Cannot open DynO config file!\nPath: {P}\n", 0},
      {&Surroundings::script, 'd', 0, "Cannot open script file!\nPath: {P}\n", 0},
      {&Surroundings::mission, 'd', 1, "Markers: 1\nCannot write mission file!\nPath: {L}\n", 2},
      {&Surroundings::source, 'h', 1, "CKOLVO: Cannot open file!\n", -1},
      {&Surroundings::config, 'h', 0, "Cannot open DynO config file!\nPath: {P}\n", 0},
#ifndef _WIN32
      {&Surroundings::source, 'p', 1, "CKOLVO: Cannot open file!\n", -1},
      {&Surroundings::config, 'p', 0, "Cannot open DynO config file!\nPath: {P}\n", 0},
      {&Surroundings::script, 'p', 0, "Cannot open script file!\nPath: {P}\n", 0},
#endif
  };
  for (const auto& c : cases) {
    Surroundings place;
    const std::string path = place.*c.file;
    const std::string what = path + " " + c.kind;
    fs::remove(path);
    if (c.kind == 'd') test::WriteFile(path + platform::kSeparator + "inside", "inside");
#ifndef _WIN32
    ASSERT_TRUE(c.kind != 'p' || ::mkfifo(path.c_str(), 0600) == 0) << what;
#endif
    if (c.kind == 'h') {
      test::WriteFile(path, Surroundings::kSource);
      fs::resize_file(path, platform::kMaxReadSize + 1);
    }
    const RunResult run = Convert(place, c.status, what);
    std::string lower = path;  // the driver folds the source path to lower case
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char ch) { return ch >= 'A' && ch <= 'Z' ? ch + 32 : ch; });
    const std::string message = test::Replace(test::Replace(c.message, "{L}", lower), "{P}",
                                              test::Replace(path, "Camp", "camp"));
    EXPECT_NE(std::string::npos, run.log_body.find(message)) << what << "\n" << run.log_body;
    EXPECT_EQ(c.vehicles, Count(run.log_body, "Vehicles")) << what;
    EXPECT_TRUE(c.kind != 'd' || test::ReadFile(path + platform::kSeparator + "inside") == "inside")
        << what;
  }
}

// The reader opens the source in the same folder first, so no run gets this
// far without it: the writer is called as the driver calls it.
TEST(Faults, MissingMissionFolderIsReportedNotCreated) {
  test::TempFolder folder;
  ObjectStore store;
  std::FILE* console = std::tmpfile();
  ASSERT_NE(nullptr, console);
  RunLog log(folder.Path("run.log"), console);
  EXPECT_FALSE(WriteMissionFile(RunMode::kMission, folder.Path("gone/attack.kolvo"), &store, &log));
  std::fclose(console);
  EXPECT_EQ("Cannot write mission file!\nPath: " + folder.Path("gone/mission.pld") + "\n",
            test::ReadFile(folder.Path("run.log")));
  EXPECT_FALSE(fs::exists(folder.Path("gone")));
}

// Hostile bytes in one of the three files a conversion reads, the others as
// Surroundings has them; each case gives the vehicles and markers that come
// out and a line the mission holds. Every run must finish, however slowly.
TEST(Faults, HostileBytesConvert) {
  const std::string nul(64 * 1024, '\0'), line(10 * 1000 * 1000, 'x'), value(100 * 1000, 'v');
  std::string nested;  // ten thousand doubled quotes on either side of a word
  for (int i = 0; i < 10000; ++i) nested += "\"\"";
  nested += "word" + nested;
  // Runs of quotes (negative: other characters) that the doubled-quote rule,
  // followed literally, searches again and again: the slowest line a search
  // found; two megabytes of them once took a minute.
  constexpr int kRuns[] = {38, -1, 46, -1, 33, -2, 40, -1, 35, -2, 14, -1, 79, -1, 51, -2, 45,
                           -2, 22, -1, 20, -2, 56, -2, 27, -2, 35, -2, 17, -1, 24, -2, 12, -1,
                           5,  -2, 39, -2, 8,  -1, 33, -2, 21, -2, 54, -1, 7,  -2, 34, -1, 24,
                           -2, 19, -2, 1,  -1, 63, -2, 45, -1, 9,  -2, 7,  -1, 9};
  std::string runs = "\t\tTEXT=";
  for (const int run : kRuns) runs.append(run < 0 ? -run : run, run < 0 ? 'x' : '"');
  runs += '\n';
  while (runs.size() < 2 * 1000 * 1000) runs += runs;
  const auto marker = [](const std::string& text) {
    return test::KolvoObject("_marker_0", "marker", "\t\tTEXT=\"" + text + "\";\n");
  };
  const std::string src = Surroundings::kSource, config = Surroundings::kConfig,
                    script = Surroundings::kScript;
  const std::string camp = src.substr(0, src.find("class _marker"));
  const struct {
    std::string Surroundings::*file;
    std::string bytes;
    long vehicles, markers;
    const char* line;  // a line the mission holds, or ""
  } cases[] = {
      {&Surroundings::source, "", 0, 0, ""},
      {&Surroundings::config, "", 0, 1, ""},
      {&Surroundings::script, "", 0, 1, ""},
      {&Surroundings::source, nul, 0, 0, ""},
      {&Surroundings::config, nul, 0, 1, ""},
      {&Surroundings::script, nul, 0, 1, ""},
      {&Surroundings::source, nul + src, 2, 1, ""},
      {&Surroundings::script, nul + "\n" + script, 2, 1, ""},
      {&Surroundings::source, line + "\n" + src, 2, 1, ""},
      {&Surroundings::config, line + "\n" + config, 2, 1, ""},
      {&Surroundings::script, line + "\n" + script, 2, 1, ""},
      {&Surroundings::script, "[\"" + line + "\",[1,2],0]\n" + script, 2, 1, ""},
      {&Surroundings::source, marker(line), 0, 1, "\t\t\ttext=\"xxxxxxxxxx"},
      {&Surroundings::source, marker(nested), 0, 1, "\t\t\ttext=\"\"\"\"\""},
      {&Surroundings::config, nested + "\n" + config, 2, 1, ""},
      {&Surroundings::script, "[\"" + nested + "\",[1,2],0]\n" + script, 2, 1, ""},
      {&Surroundings::source, test::KolvoObject("_marker_0", "marker", runs), 0, 1,
       "\t\t\ttext=\"\"\"\""},
      {&Surroundings::source, camp + marker(value + "\";\n\t\tNAME=\"after"), 2, 1,
       "\t\t\tname=\"after\";"},
      {&Surroundings::config, "class camp { objectScript = \"\\dyno\\" + value + "\"; };\n", 0, 1,
       ""},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    Surroundings place;
    test::WriteFile(place.*c.file, c.bytes);
    const RunResult run = Convert(place, 0, "case " + std::to_string(i));
    EXPECT_EQ(c.vehicles, Count(run.log_body, "Vehicles")) << i;
    EXPECT_EQ(c.markers, Count(run.log_body, "Markers")) << i;
    const std::string mission = test::ReadFile(place.mission);
    EXPECT_NE(std::string::npos, mission.find(std::string("\n") + c.line)) << i;
    // No value is taken beyond its look of 1023 characters.
    std::istringstream lines(mission);
    for (std::string text; std::getline(lines, text);) ASSERT_LT(text.size(), 1100u) << i;
  }
}

// Full paths of up to 260 characters are accepted, longer ones refused.
// Windows cannot create a file at a 260-character path (its limit holds the
// terminating NUL), so there only the refusal is tried.
TEST(Faults, PathsOfUpTo260CharactersAreAccepted) {
  for (const std::size_t length : {platform::kMaxFullPath, platform::kMaxFullPath + 1}) {
    const bool accepted = length <= platform::kMaxFullPath;
    if (platform::kSeparator == '\\' && accepted) continue;
    Surroundings place;
    // M/ moves into a folder whose name makes the source path `length` long.
    const std::string deep = place.Path(std::string(length - place.Path("").size() - 15, 'p'));
    fs::create_directories(deep);
    const std::string folder = deep + platform::kSeparator + "M";
    fs::rename(place.Path("M"), folder);
    const std::string source = folder + platform::kSeparator + "Attack.kolvo";
    ASSERT_EQ(length, source.size());
    const RunResult run = Convert(place, accepted ? 0 : 1, std::to_string(length), source);
    if (!accepted) {
      EXPECT_EQ("ERROR: Invalid path to file!\n", run.log_body);
    }
  }
}

}  // namespace
}  // namespace vexlar
