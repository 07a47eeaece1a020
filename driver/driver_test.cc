#include "driver/driver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "log/run_log.h"
#include "platform/platform.h"
#include "tests/test_util.h"

namespace vexlar {
namespace {

TEST(Driver, LogPathReplacesTheExtensionOfTheFileName) {
  EXPECT_EQ("C:\\tools\\vexlar.log", LogPathFor("C:\\tools\\vexlar.exe"));
  // A '.' in a folder name or at the start of the file name starts no extension.
  EXPECT_EQ("C:\\a.b\\vexlar.log", LogPathFor("C:\\a.b\\vexlar"));
  EXPECT_EQ("/home/u/.local/bin/vexlar.log", LogPathFor("/home/u/.local/bin/vexlar"));
  EXPECT_EQ("../vexlar.log", LogPathFor("../vexlar"));
  EXPECT_EQ(".vexlar.log", LogPathFor(".vexlar"));
  EXPECT_EQ("bin/.vexlar.log", LogPathFor("bin/.vexlar"));
}

TEST(Driver, ProgramWithoutAFolderLivesInTheCurrentDirectory) {
  const std::string full = platform::FullPath("vexlar").value_or("(none)");
  EXPECT_EQ(full.substr(0, full.size() - 6), ProgramDirectoryFor("vexlar"));
}

// Every run: its status, its log, an untouched mission.pld after an error,
// and every message of the log on the console followed by an empty line.
TEST(Driver, CommandLineChoosesTheModeOrEndsWithAMessage) {
  const struct {
    std::vector<std::string> args;  // {M} is the mission folder
    int status;
    const char* log_body;  // after an error the whole body, else its start
  } cases[] = {
      {{}, 1, "ERROR: No file for converting!\n"},
      {{"WIN", "loose"}, 1, "ERROR: No file for converting!\n"},
      {{"{M}mission.pld"}, 1, "Mode: 1\nERROR: Unsupported file type!\n"},
      {{"{M}sub.old/plain"}, 1, "Mode: 1\nERROR: Unsupported file type!\n"},
      {{"{M}attack."}, 1, "Mode: 1\nERROR: Unsupported file type!\n"},
      {{"{M}" + std::string(300, 'a') + ".kolvo", "win"}, 1, "ERROR: Invalid path to file!\n"},
      {{"{M}missing.kolvo"},
       1,
       "Mode: 1\nConverting from 3d to 2d editor...\nCKOLVO: Cannot open file!\n"},
      {{"{M}attack.kolvo"}, 0, "Mode: 1\n"},
      {{"{M}attack.kolvo", "WIN"}, 0, "Mode: 2\n"},
      {{"win", "intro", "{M}attack.kolvo"}, 0, "Mode: 0\n"},
      {{"loose", "{M}ATTACK.KOLVO"}, 0, "Mode: 3\n"},
      {{"{M}missing.kolvo", "{M}attack.kolvo"}, 0, "Mode: 1\n"},  // the last path counts
  };
  for (const auto& c : cases) {
    test::Surroundings place;
    std::vector<std::string> args;
    for (const std::string& arg : c.args)
      args.push_back(test::Replace(arg, "{M}", place.Path("M/")));
    const test::RunResult run = test::RunInProcess(place.executable, args);
    const std::string what = c.args.empty() ? "(none)" : c.args.front();
    EXPECT_EQ(c.status, run.status) << what;
    EXPECT_EQ(c.log_body,
              run.log_body.substr(0, c.status != 0 ? std::string::npos : std::strlen(c.log_body)))
        << what;
    EXPECT_EQ(c.status != 0, test::ReadFile(place.mission) == "keep me") << what;
    EXPECT_EQ(test::Replace(run.log_body, "\n", "\n\n"), run.console) << what;
  }
}

TEST(Driver, EveryRunAppendsItsHeaderToTheLog) {
  test::TempFolder folder;
  test::RunInProcess(folder.Path("bin/vexlar"), {});
  const std::string run =
      "//----------------------------------------------------\n"
      "//   Program: vexlar\n"
      "//   Version: 1.00.10\n"
      "//   Start time: 11.10.2008 14:20:5\n"
      "//----------------------------------------------------\n"
      "ERROR: No file for converting!\n";
  EXPECT_EQ(run + run, test::RunInProcess(folder.Path("bin/vexlar"), {"intro"}).log);
}

TEST(Driver, HelpAndVersionAnswerWithoutConverting) {
  test::Surroundings place;
  const test::RunResult version = test::RunInProcess(place.executable, {"--version"});
  EXPECT_EQ(0, version.status);
  EXPECT_EQ("vexlar 1.00.10\n", version.console + version.log_body);
  for (const char* word : {"--help", "-h"}) {
    const test::RunResult help = test::RunInProcess(place.executable, {"win", word, place.source});
    EXPECT_EQ(0, help.status) << word;
    EXPECT_EQ(0u, help.console.find("Usage: vexlar [intro|win|loose] <mission.kolvo>\n")) << word;
  }
  EXPECT_EQ("keep me", test::ReadFile(place.mission));
}

TEST(Driver, BuiltExecutableConverts) {
  test::Surroundings place;
  // The redirection comes first: a command that starts with a quotation mark
  // loses its first and last one to the Windows command interpreter.
  const std::string command =
      "> \"" + place.Path("console.txt") + "\" \"" + VEXLAR_EXE + "\" \"" + place.source + "\"";
  EXPECT_EQ(0, std::system(command.c_str()));
  EXPECT_EQ(0u, test::ReadFile(place.Path("console.txt"))
                    .find("Mode: 1\n\nConverting from 3d to 2d editor...\n\n"));
  EXPECT_EQ(0u, test::ReadFile(place.mission).find("version=11;\n"));
}

}  // namespace
}  // namespace vexlar
