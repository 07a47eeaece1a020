#include "driver/driver.h"

#include <gtest/gtest.h>

#include <regex>

#include "driver/run_log.h"
#include "platform/platform.h"
#include "tests/test_util.h"

namespace vexlar {
namespace {

using test::RunInProcess;
using test::TempFolder;

constexpr char kMinimalMission[] =
    "class _marker_0\n{\n\tobjectType=\"marker\";\n\tclass "
    "Arguments\n\t{\n\t\tTEXT=\"A\";\n\t};\n};\n";

TEST(Driver, LogPathFor) {
  const struct {
    const char* executable;
    const char* log;
  } cases[] = {
      {"C:\\tools\\vexlar.exe", "C:\\tools\\vexlar.log"},
      {"vexlar", "vexlar.log"},
      {"C:\\a.b\\vexlar", "C:\\a.log"},
      {"/opt/vexlar/bin/vexlar", "/opt/vexlar/bin/vexlar.log"},
      {".vexlar", ".vexlar.log"},
      {"", ".log"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.log, LogPathFor(c.executable)) << c.executable;
}

TEST(Driver, SourceFileKindOf) {
  const struct {
    const char* path;
    SourceFileKind kind;
  } cases[] = {
      {"/m/attack.kolvo", SourceFileKind::kKolvo},
      {"c:\\m\\attack.kolvo", SourceFileKind::kKolvo},
      {"/m/mission.pld", SourceFileKind::kPld},
      {"/m.old/plain", SourceFileKind::kUnsupported},
      {"c:\\m.old\\plain", SourceFileKind::kUnsupported},
      {"/m/attack.", SourceFileKind::kUnsupported},
      {"/m/attack.kolvo.txt", SourceFileKind::kUnsupported},
      {"/m/attack.KOLVO", SourceFileKind::kUnsupported},  // the driver folds before testing
      {"/m/", SourceFileKind::kUnsupported},
  };
  for (const auto& c : cases) EXPECT_EQ(c.kind, SourceFileKindOf(c.path)) << c.path;
}

TEST(Driver, ProgramDirectoryFor) {
  const std::string sep(1, platform::kSeparator);
  EXPECT_EQ(sep + "opt" + sep + "vexlar" + sep,
            ProgramDirectoryFor(sep + "opt" + sep + "vexlar" + sep + "vexlar"));
  EXPECT_EQ("bin" + sep, ProgramDirectoryFor("bin" + sep + "vexlar"));
  // Without a separator the executable's full path gives the folder: the
  // current directory.
  const std::string bare = ProgramDirectoryFor("vexlar");
  ASSERT_FALSE(bare.empty());
  EXPECT_EQ(platform::kSeparator, bare.back());
}

TEST(Driver, CommandLineMessagesAndStatus) {
  const struct {
    std::vector<std::string> args;  // {M} is the mission folder
    int status;
    const char* log_body;
  } cases[] = {
      {{}, 1, "ERROR: No file for converting!\n"},
      {{"intro"}, 1, "ERROR: No file for converting!\n"},
      {{"WIN", "loose"}, 1, "ERROR: No file for converting!\n"},
      {{"{M}mission.pld"}, 1, "Mode: 1\nERROR: Unsupported file type!\n"},
      {{"{M}sub.old/plain"}, 1, "Mode: 1\nERROR: Unsupported file type!\n"},
      {{"{M}attack."}, 1, "Mode: 1\nERROR: Unsupported file type!\n"},
      {{"{M}" + std::string(300, 'a') + ".kolvo", "win"}, 1, "ERROR: Invalid path to file!\n"},
      {{"{M}missing.kolvo"},
       1,
       "Mode: 1\nConverting from 3d to 2d editor...\nCKOLVO: Cannot open file!\n"},
      {{"win", "{M}attack.kolvo"}, 0, "Mode: 2\n"},
      {{"{M}attack.kolvo", "WIN"}, 0, "Mode: 2\n"},
      {{"win", "intro", "{M}attack.kolvo"}, 0, "Mode: 0\n"},
      {{"loose", "{M}ATTACK.KOLVO"}, 0, "Mode: 3\n"},
      {{"{M}missing.kolvo", "{M}attack.kolvo"}, 0, "Mode: 1\n"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    test::WriteFile(folder.Path("m/attack.kolvo"), kMinimalMission);
    test::WriteFile(folder.Path("m/mission.pld"), "keep me");
    std::vector<std::string> args;
    for (std::string arg : c.args) {
      if (arg.rfind("{M}", 0) == 0) arg = folder.Path("m/") + arg.substr(3);
      args.push_back(arg);
    }
    const test::RunResult run = RunInProcess(folder.Path("bin/vexlar"), args);
    const std::string what = c.args.empty() ? "(none)" : c.args.front();
    EXPECT_EQ(c.status, run.status) << what;
    if (c.status != 0) {
      EXPECT_EQ(c.log_body, run.log_body) << what;
      EXPECT_EQ("keep me", test::ReadFile(folder.Path("m/mission.pld"))) << what;
    } else {
      EXPECT_EQ(0u, run.log_body.rfind(
                        std::string(c.log_body) + "Converting from 3d to 2d editor...\n", 0))
          << what << ": " << run.log_body;
    }
    // The console shows every message of the log, each followed by an empty line.
    std::string echoed;
    for (std::size_t start = 0; start < run.log_body.size();) {
      const std::size_t end = run.log_body.find('\n', start);
      echoed += run.log_body.substr(start, end - start) + "\n\n";
      start = end + 1;
    }
    EXPECT_EQ(echoed, run.console) << what;
  }
}

TEST(Driver, EveryRunAppendsItsHeaderToTheLog) {
  TempFolder folder;
  RunInProcess(folder.Path("bin/vexlar"), {});
  const test::RunResult second = RunInProcess(folder.Path("bin/vexlar"), {"intro"});
  const std::string header =
      "//----------------------------------------------------\n"
      "//   Program: vexlar\n"
      "//   Version: 1\\.00\\.10\n"
      "//   Start time: [1-9]\\d?\\.[1-9]\\d?\\.\\d{4} \\d{1,2}:\\d{1,2}:\\d{1,2}\n"
      "//----------------------------------------------------\n";
  const std::string message = "ERROR: No file for converting!\n";
  EXPECT_TRUE(std::regex_match(second.log, std::regex(header + message + header + message)))
      << second.log;
}

TEST(Driver, UnwritableLogStillReachesTheConsole) {
  TempFolder folder;
  test::WriteFile(folder.Path("bin/vexlar.log/placeholder"), "");  // the log path is a folder
  const test::RunResult run = RunInProcess(folder.Path("bin/vexlar"), {"intro"});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("ERROR: No file for converting!\n\n", run.console);
}

TEST(Driver, HelpAndVersion) {
  TempFolder folder;
  const test::RunResult version = RunInProcess(folder.Path("bin/vexlar"), {"--version"});
  EXPECT_EQ(0, version.status);
  EXPECT_EQ("vexlar 1.00.10\n", version.console);
  EXPECT_EQ("", version.log_body);
  for (const char* word : {"--help", "-h"}) {
    const test::RunResult help = RunInProcess(folder.Path("bin/vexlar"), {"win", word});
    EXPECT_EQ(0, help.status) << word;
    EXPECT_EQ(0u, help.console.rfind("Usage: vexlar [intro|win|loose] <mission.kolvo>\n", 0))
        << word;
  }
}

TEST(Driver, BuiltExecutableRuns) {
  TempFolder folder;
  test::WriteFile(folder.Path("m/attack.kolvo"), kMinimalMission);
  // The redirection comes first: a command that starts with a quotation mark
  // loses its first and last one to the Windows command interpreter.
  const std::string command = "> \"" + folder.Path("console.txt") + "\" \"" + VEXLAR_EXE + "\" \"" +
                              folder.Path("m/attack.kolvo") + "\"";
  EXPECT_EQ(0, std::system(command.c_str()));
  EXPECT_EQ(0u, test::ReadFile(folder.Path("console.txt"))
                    .rfind("Mode: 1\n\nConverting from 3d to 2d editor...\n\n", 0));
  EXPECT_TRUE(test::FileExists(folder.Path("m/mission.pld")));
}

}  // namespace
}  // namespace vexlar
