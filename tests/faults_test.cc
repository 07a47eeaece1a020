// End-to-end runs against hostile surroundings and hostile bytes: files that
// are pipes, links or too large (folders: data cases), a console nobody
// reads, runs at once, signals and a file-size limit, the program started
// from elsewhere, empty files, NUL bytes, very long lines and values, deeply
// doubled quotes, and paths at the length limit. Every run ends with its
// status and adds no file beside the source (no temporary file); a failed run
// keeps an existing mission.pld, a successful one leaves it complete.
#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <tuple>

#include "platform/platform.h"
#include "tests/test_util.h"
#include "text/ascii.h"

namespace vexlar {
namespace {

namespace fs = std::filesystem;
using test::RunResult;
using S = test::Surroundings;

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    names.insert(entry.path().string());
  return names;
}

// The count that the message "<what>: N" gives, or -1 without one.
long Count(const std::string& messages, const std::string& what) {
  const std::size_t at = messages.find(what + ": ");
  return at == std::string::npos ? -1 : std::stol(messages.substr(at + what.size() + 2));
}

// Whether a file beyond the read limit can be made here: a mutation run
// limits the size of files to 1 GiB, and then the huge files are left out.
bool HugeFilesAllowed() {
#ifndef _WIN32
  rlimit limit{};
  return ::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
         limit.rlim_cur > platform::kMaxReadSize + 1;
#else
  return true;
#endif
}

// Converts `source` (by default that of `place`) and checks what every run
// guarantees.
RunResult Convert(const S& place, int status, const std::string& what, std::string source = "") {
  if (source.empty()) source = place.source;
  const std::string folder = source.substr(0, source.rfind(platform::kSeparator) + 1);
  const std::set<std::string> before = Names(folder);
  const RunResult run = test::RunInProcess(place.executable, {source});
  EXPECT_EQ(status, run.status) << what << "\n" << run.log_body;
  EXPECT_EQ(before, Names(folder)) << what;
  const std::string mission = test::ReadFile(folder + "Mission.pld");
  if (status != 0) {
    EXPECT_TRUE(!fs::is_regular_file(folder + "Mission.pld") || mission == "keep me") << what;
    return run;
  }
  // Complete: from the version line to the end of the last section, empty here.
  const std::string golden =
      test::ReadFile(VEXLAR_SOURCE_DIR "/tests/cases/bundled-example/expect/mission.pld");
  const std::string tail = golden.substr(golden.rfind("class OutroWin\n"));
  EXPECT_EQ(0u, mission.rfind("version=11;\n", 0)) << what;
  EXPECT_EQ(tail, mission.substr(mission.size() - std::min(mission.size(), tail.size()))) << what;
  return run;
}

#ifndef _WIN32
// Starts `program` (looked up in PATH when it holds no '/') in a child
// process with the arguments `argv`, argv[0] included, and its standard
// output and error going to the file `console`, once `prepare` has run in the
// child: the place to change its folder, environment, limits or output.
pid_t Start(const std::string& program, const std::vector<std::string>& argv,
            const std::string& console, const std::function<void()>& prepare = {}) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    const int file = ::open(console.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(file, STDOUT_FILENO);
    ::dup2(file, STDERR_FILENO);
    if (prepare) prepare();
    ::execvp(program.c_str(), args.data());
    ::_exit(127);
  }
  EXPECT_LT(0, child) << "cannot start " << program;
  return child;
}

// Waits for the child to end: its exit status, or 128 + the number of the
// signal that ended it, as a shell tells them.
int WaitFor(pid_t child) {
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return -1;
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

// How many entries `folder` has; one may come or go meanwhile.
std::size_t Entries(const std::string& folder) {
  std::error_code error;
  std::size_t count = 0;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    ++count;
  return count;
}

// A mission of `count` markers: about 100 bytes of mission.pld each.
std::string Markers(int count) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += test::KolvoObject("_marker_" + std::to_string(i), "marker", "\t\tTEXT=\"flag\";\n");
  return text;
}

// Conversions of different missions into one folder at once, round after
// round (VEXLAR_ROUNDS, else 50): mission.pld is always one run's whole
// mission, and no temporary file is left.
TEST(Faults, ConcurrentConversionsLeaveOneWholeMission) {
  const char* rounds = std::getenv("VEXLAR_ROUNDS");
  test::TempFolder place;
  const std::string mission = place.Path("M/mission.pld"), program = place.Path("vexlar");
  std::vector<std::string> sources, expected;
  for (int run = 1; run <= 4; ++run) {  // a quarter of a megabyte to one
    sources.push_back(place.Path("M/" + std::to_string(run) + ".kolvo"));
    test::WriteFile(sources.back(), Markers(2500 * run));
    ASSERT_EQ(0, test::RunInProcess(program, {sources.back()}).status);
    expected.push_back(test::ReadFile(mission));
  }
  const std::set<std::string> names = Names(place.Path("M"));
  for (int round = 0; round < (rounds ? std::atoi(rounds) : 50); ++round) {
    std::vector<pid_t> children;
    for (const std::string& source : sources) {
      children.push_back(Start(VEXLAR_EXE, {program, source}, "/dev/null"));
    }
    for (const pid_t child : children) EXPECT_EQ(0, WaitFor(child)) << "round " << round;
    const std::string got = test::ReadFile(mission);
    ASSERT_NE(expected.end(), std::find(expected.begin(), expected.end(), got))
        << "round " << round;
    ASSERT_EQ(names, Names(place.Path("M"))) << "round " << round;
  }
}

// A write cut short, by a file-size limit or by SIGTERM or SIGINT while the
// temporary file is there: the limit fails the write with the message and
// status 1, a signal ends the process as it ends any; either way the old
// mission.pld is kept and no temporary file is left. A SIGINT or SIGTERM
// that the program was started to ignore (-SIGINT, -SIGTERM) stays ignored:
// the run completes.
TEST(Faults, AWriteCutShortKeepsTheOldMission) {
  for (const int cut : {SIGXFSZ, SIGTERM, SIGINT, -SIGINT, -SIGTERM}) {
    const int sig = std::abs(cut);
    S place;
    test::WriteFile(place.source, Markers(cut == SIGXFSZ ? 5000 : 100000));
    const std::string folder = place.Path("M"), console = place.Path("console");
    const std::set<std::string> before = Names(folder);
    int status = -1;
    // A signal must come while the temporary file is there: the child is
    // stopped once a file shows, and signalled only if it is still there.
    for (int attempt = 0; attempt < 10 && status < 0; ++attempt) {
      const pid_t child = Start(VEXLAR_EXE, {place.executable, place.source}, console, [&] {
        std::signal(sig, cut < 0 ? SIG_IGN : SIG_DFL);  // as a shell starts it
        const rlimit limit{100 * 1000, 100 * 1000};
        if (cut == SIGXFSZ) ::setrlimit(RLIMIT_FSIZE, &limit);
      });
      int raw = 0;
      while (cut != SIGXFSZ && ::waitpid(child, &raw, WNOHANG) == 0) {
        if (Entries(folder) == before.size()) continue;
        ::kill(child, SIGSTOP);
        ::waitpid(child, &raw, WUNTRACED);
        break;
      }
      const bool stopped = WIFSTOPPED(raw), there = stopped && Entries(folder) > before.size();
      if (there) ::kill(child, sig);
      if (stopped) ::kill(child, SIGCONT);
      const int got = stopped || cut == SIGXFSZ ? WaitFor(child) : -1;
      if (there || cut == SIGXFSZ) status = got;
      if (status < 0) test::WriteFile(place.mission, "keep me");  // written whole: try again
    }
    EXPECT_EQ(cut == SIGXFSZ ? 1 : cut < 0 ? 0 : 128 + cut, status) << cut;
    EXPECT_EQ(cut == SIGXFSZ,
              test::ReadFile(console).find("Cannot write mission file!\n") != std::string::npos)
        << cut;
    EXPECT_EQ(before, Names(folder)) << cut;
    EXPECT_EQ(cut > 0, test::ReadFile(place.mission) == "keep me") << cut;
  }
}

// The program started through a link in another folder, from the mission's
// folder: the bundled example's mission.pld, with its console a pipe nobody
// reads any more (`vexlar m.kolvo | head -1`), which ends the messages, not
// the run; with VEXLAR_DYNO naming no folder the run fails. (Through PATH,
// installed: .ci/legs/install.sh.)
TEST(Faults, TheProgramRunsThroughALink) {
  test::TempFolder place;
  const std::string top = VEXLAR_SOURCE_DIR "/", m = place.Path("m"),
                    link = place.Path("links/vexlar"), console = place.Path("console");
  fs::create_directories(place.Path("links"));
  fs::create_symlink(VEXLAR_EXE, link);
  test::WriteFile(m + "/attack.kolvo", test::ReadFile(top + "examples/attack.kolvo"));
  int closed[2];  // a pipe without its reading end
  ASSERT_EQ(0, ::pipe(closed));
  ::close(closed[0]);
  for (const std::string dyno : {"", "none"}) {
    fs::remove(m + "/mission.pld");
    const auto prepare = [&] {
      std::signal(SIGPIPE, SIG_DFL);  // as a shell starts it
      if (dyno.empty()) ::dup2(closed[1], STDOUT_FILENO);
      if (dyno.empty()) ::unsetenv("VEXLAR_DYNO");
      if (!dyno.empty()) ::setenv("VEXLAR_DYNO", place.Path(dyno).c_str(), 1);
      if (::chdir(m.c_str()) != 0) ::_exit(126);
    };
    EXPECT_EQ(dyno.empty() ? 0 : 1, WaitFor(Start(link, {link, "attack.kolvo"}, console, prepare)));
    std::set<std::string> names{m + "/attack.kolvo", m + "/mission.pld"};
    if (!dyno.empty()) names.erase(m + "/mission.pld");
    EXPECT_EQ(names, Names(m)) << dyno;  // and no temporary file
    EXPECT_EQ(
        dyno.empty() ? test::ReadFile(top + "tests/cases/bundled-example/expect/mission.pld") : "",
        test::ReadFile(m + "/mission.pld"))
        << dyno;
  }
  ::close(closed[1]);
  // A console redirected with the error stream into one file: the note about
  // the example's finding still comes after every message.
  EXPECT_EQ(0, WaitFor(Start(VEXLAR_EXE, {VEXLAR_EXE, m + "/attack.kolvo"}, console)));
  const std::string both = test::ReadFile(console);
  const std::size_t note = both.find("vexlar: 1 thing was left out");
  EXPECT_TRUE(note != std::string::npos && both.find('\n', note) + 1 == both.size() &&
              both.find("Markers: 2\n") < note)
      << both;
}
#endif

// What takes the place of a file: 'p' a pipe (which would wait for a
// writer), 'h' a sparse file beyond the read limit, 'l' a link to a file in
// another folder, 'x' a link to nothing, 'r' the file read-only (0440). A
// source that cannot be read counts as one that cannot be opened. mission.pld
// as a link to nothing cannot be written; as a link it stays and the file it
// names gets the mission; replaced, it keeps its permission bits, read-only
// too (Windows: tests/windows_e2e.py). A link named like a temporary file is
// the user's and stays as it is. (Folders in place of the files:
// tests/cases/faults-a-folder-in-place-of-*; mission.pld.tmp as a file:
// tests/cases/writer-a-file-named-like-the-temporary-one-is-left-alone.)
TEST(Faults, UnusableFilesAreReportedAndTouchNothing) {
  const std::string no_source = "CKOLVO: Cannot open file!\n", converts = "Markers: 1\n",
                    no_mission = "Cannot write mission file!\nPath: {M}mission.pld\n";
  // The file, what takes its place, the status, a text on the console ({M}
  // is the source's folder folded to lower case), the vehicles counted (-1:
  // none).
  // clang-format off
  const std::tuple<const char*, char, int, std::string, long> cases[] = {
      {S::kSource, 'h', 1, no_source, -1},
#ifndef _WIN32
      {S::kSource, 'p', 1, no_source, -1},
      {"M/Mission.pld.tmp", 'l', 0, converts, 2},
      {S::kMission, 'l', 0, converts, 2},
      {S::kMission, 'x', 1, no_mission, -1},
      {S::kMission, 'r', 0, converts, 2},
#endif
  };
  // clang-format on
  for (const auto& [file, kind, status, text, vehicles] : cases) {
    if (kind == 'h' && !HugeFilesAllowed()) continue;
    S place;
    const std::string path = place.Path(file), elsewhere = place.Path("E/file"),
                      what = std::string(file) + " " + kind;
    test::WriteFile(elsewhere, "elsewhere");
    if (kind != 'r') fs::remove(path);
    if (kind == 'h') test::WriteFile(path, S::kSourceText);
    if (kind == 'h') fs::resize_file(path, platform::kMaxReadSize + 1);
    if (kind == 'l' || kind == 'x')
      fs::create_symlink(place.Path(kind == 'l' ? "E/file" : "E/none"), path);
    if (kind == 'r') fs::permissions(path, fs::perms(0440));
#ifndef _WIN32
    ASSERT_TRUE(kind != 'p' || ::mkfifo(path.c_str(), 0600) == 0) << what;
#endif
    const RunResult run = Convert(place, status, what);
    std::string folded = place.Path("M/");
    FoldLowerInPlace(folded);
    const std::string message = test::Replace(text, "{M}", folded);
    EXPECT_NE(std::string::npos, run.console.find(message)) << what << "\n" << run.console;
    EXPECT_EQ(vehicles, Count(run.console, "Vehicles")) << what;
    EXPECT_EQ(kind == 'l' || kind == 'x', fs::is_symlink(path)) << what;
    EXPECT_EQ(kind == 'l' && path == place.mission, test::ReadFile(elsewhere) != "elsewhere")
        << what;
    EXPECT_EQ(std::set<std::string>{elsewhere}, Names(place.Path("E"))) << what;
    EXPECT_TRUE(kind != 'r' || fs::status(path).permissions() == fs::perms(0440)) << what;
  }
}

#ifndef _WIN32
// --merge into a mission.pld that cannot be read (beyond the read limit) or
// whose replacement cannot be written (a file-size limit): the message,
// status 1, the old file as it was and no temporary file.
TEST(Faults, AFailedMergeKeepsTheOldMission) {
  for (const bool unreadable : {true, false}) {
    if (unreadable && !HugeFilesAllowed()) continue;
    test::TempFolder place;
    const std::string program = place.Path("bin/vexlar"), source = place.Path("m/a.kolvo"),
                      mission = place.Path("m/mission.pld");
    test::WriteFile(source, Markers(5000));  // some 500 kB of mission
    ASSERT_EQ(0, test::RunInProcess(program, {source}).status);
    if (unreadable) fs::resize_file(mission, platform::kMaxReadSize + 1);
    const std::string before = unreadable ? "" : test::ReadFile(mission);
    const std::set<std::string> names = Names(place.Path("m"));
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit limit{unreadable ? old.rlim_cur : 100 * 1000, old.rlim_max};
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);  // as the program's main has it
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const RunResult run = test::RunInProcess(program, {"--merge", source});
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(1, run.status) << unreadable;
    EXPECT_NE(std::string::npos, run.log_body.find(unreadable ? "Problem: it cannot be read\n"
                                                              : "Cannot write mission file!\n"))
        << run.log_body;
    EXPECT_EQ(names, Names(place.Path("m"))) << unreadable;
    EXPECT_TRUE(unreadable ? fs::file_size(mission) == platform::kMaxReadSize + 1
                           : test::ReadFile(mission) == before);
  }
}
#endif

// Hostile bytes in one of the three files a conversion reads, the others as
// Surroundings has them: the vehicles and markers that come out and, for a
// hostile value, the line of the mission that holds it. Every run must
// finish, however slowly, and no value is taken beyond its look of 1023
// characters.
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
  const std::string src = S::kSourceText, config = S::kConfigText, script = S::kScriptText;
  const std::string camp = src.substr(0, src.find("class _marker"));
  // The file, its bytes, the vehicles and markers, a line of the mission or null.
  const std::tuple<const char*, std::string, long, long, const char*> cases[] = {
      {S::kSource, "", 0, 0, nullptr},
      {S::kConfig, "", 0, 1, nullptr},
      {S::kScript, "", 0, 1, nullptr},
      {S::kSource, nul + src, 2, 1, nullptr},
      {S::kScript, nul + "\n" + script, 2, 1, nullptr},
      {S::kSource, line + "\n" + src, 2, 1, nullptr},
      {S::kConfig, line + "\n" + config, 2, 1, nullptr},
      {S::kScript, line + "\n" + script, 2, 1, nullptr},
      {S::kScript, "[\"" + line + "\",[1,2],0]\n" + script, 2, 1, nullptr},
      {S::kConfig, nested + "\n" + config, 2, 1, nullptr},
      {S::kScript, "[\"" + nested + "\",[1,2],0]\n" + script, 2, 1, nullptr},
      {S::kConfig, "class camp { objectScript = \"\\dyno\\" + value + "\"; };\n", 0, 1, nullptr},
      {S::kSource, marker(line), 0, 1, "\t\t\ttext=\"xxxxxxxxxx"},
      {S::kSource, marker(nested), 0, 1, "\t\t\ttext=\"\"\"\"\""},
      {S::kSource, test::KolvoObject("_marker_0", "marker", runs), 0, 1, "\t\t\ttext=\"\"\"\""},
      {S::kSource, camp + marker(value + "\";\n\t\tNAME=\"after"), 2, 1, "\t\t\tname=\"after\";"},
  };
  for (const auto& [file, bytes, vehicles, markers, holds] : cases) {
    S place;
    test::WriteFile(place.Path(file), bytes);
    const std::string what = file + (" " + bytes.substr(0, 40));
    const RunResult run = Convert(place, 0, what);
    EXPECT_EQ(vehicles, Count(run.log_body, "Vehicles")) << what;
    EXPECT_EQ(markers, Count(run.log_body, "Markers")) << what;
    const std::string mission = test::ReadFile(place.mission);
    EXPECT_TRUE(!holds || mission.find(std::string("\n") + holds) != std::string::npos) << what;
    std::istringstream lines(mission);
    for (std::string text; std::getline(lines, text);) ASSERT_LT(text.size(), 1100u) << what;
  }
}

// Full paths of up to 260 characters are accepted, longer ones refused.
// Windows cannot create a file at a 260-character path (its limit holds the
// terminating NUL), so there only the refusal is tried.
TEST(Faults, PathsOfUpTo260CharactersAreAccepted) {
  for (const std::size_t length : {platform::kMaxFullPath, platform::kMaxFullPath + 1}) {
    const bool accepted = length <= platform::kMaxFullPath;
    if (platform::kSeparator == '\\' && accepted) continue;
    S place;
    // M/ moves into a folder whose name makes the source path `length` long.
    const std::string deep = place.Path(std::string(length - place.Path().size() - 15, 'p'));
    fs::create_directories(deep);
    const std::string folder = deep + platform::kSeparator + "M";
    fs::rename(place.Path("M"), folder);
    const std::string source = folder + platform::kSeparator + "Attack.kolvo";
    ASSERT_EQ(length, source.size());
    const RunResult run = Convert(place, accepted ? 0 : 1, std::to_string(length), source);
    EXPECT_TRUE(accepted || run.log_body == "ERROR: Invalid path to file!\n") << run.log_body;
  }
}

}  // namespace
}  // namespace vexlar
