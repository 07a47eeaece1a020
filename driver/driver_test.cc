#include "driver/driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "tests/test_util.h"

namespace vexlar {

// The program folder ends in the separator; without one it is the current
// directory. The extension follows the last '.' when no separator follows it.
TEST(Driver, ProgramFolderAndSourceKindFromThePath) {
  const std::string sep(1, platform::kSeparator);
  EXPECT_EQ("bin" + sep, ProgramDirectoryFor("bin" + sep + "vexlar"));
  EXPECT_EQ(sep, ProgramDirectoryFor(sep + "vexlar"));
  EXPECT_EQ(std::filesystem::current_path().string() + sep, ProgramDirectoryFor("vexlar"));
  using K = SourceFileKind;
  const std::pair<const char*, K> cases[] = {
      {"/m/a.kolvo", K::kKolvo},           {"/m/mission.pld", K::kPld},
      {"/m/a.old/plain", K::kUnsupported}, {"c:\\a.b\\plain", K::kUnsupported},
      {"/m/attack.", K::kUnsupported},     {"/m/a.old/kolvo", K::kUnsupported},
  };
  for (const auto& [path, kind] : cases) EXPECT_EQ(kind, SourceFileKindOf(path)) << path;
}

// Mode words in any case and in any place; the last mode word and the last
// path count. Only a conversion replaces mission.pld; help and version
// answer on the console alone.
TEST(Driver, CommandLines) {
  const char* usage = "Usage: vexlar [intro|win|loose] <mission.kolvo>\n";
  const struct {
    std::vector<std::string> args;  // {M} is the mission folder
    int status;
    bool converts;
    const char* output;  // the start of the log body followed by the console
  } cases[] = {
      {{"{M}attack.kolvo", "WIN"}, 0, true, "Mode: 2\n"},
      {{"win", "intro", "{M}attack.kolvo"}, 0, true, "Mode: 0\n"},
      {{"loose", "{M}missing.kolvo", "{M}ATTACK.KOLVO"}, 0, true, "Mode: 3\n"},
      {{"WIN", "loose"}, 1, false, "ERROR: No file for converting!\n"},
      {{"--version"}, 0, false, "vexlar 1.00.10\n"},
      {{"win", "--help", "{M}attack.kolvo"}, 0, false, usage},
      {{"-h"}, 0, false, usage},
  };
  for (const auto& c : cases) {
    test::Surroundings place;
    std::vector<std::string> args;
    for (const std::string& arg : c.args)
      args.push_back(test::Replace(arg, "{M}", place.Path("M/")));
    const test::RunResult run = test::RunInProcess(place.executable, args);
    EXPECT_EQ(c.status, run.status) << c.output;
    EXPECT_EQ(0u, (run.log_body + run.console).find(c.output)) << run.log_body << run.console;
    EXPECT_EQ(c.converts, test::ReadFile(place.mission) != "keep me") << c.output;
    // The header carries the start time handed to the run.
    EXPECT_NE(std::string::npos, run.log.find("//   Start time: 11.10.2008 14:20:5\n"));
  }
}

}  // namespace vexlar
