#include "driver/driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "tests/test_util.h"

namespace vexlar {

// The program folder ends in the separator; without one it is the current
// directory. The extension follows the last '.' when no separator follows it.
TEST(Driver, ProgramFolderAndSourceKindFromThePath) {
  const std::string sep(1, platform::kSeparator);
  const std::string bin = "bin" + sep + "vexlar", cwd = std::filesystem::current_path().string();
  EXPECT_EQ("bin" + sep, ProgramDirectoryFor(bin, std::nullopt));
  EXPECT_EQ(sep, ProgramDirectoryFor(sep + "vexlar", std::nullopt));
  EXPECT_EQ(cwd + sep, ProgramDirectoryFor("vexlar", std::nullopt));
  // Started through PATH: the running file's folder, not the current one.
  EXPECT_EQ(sep + "opt" + sep, ProgramDirectoryFor("vexlar", sep + "opt" + sep + "vexlar"));
  // Named with a folder: as typed when it is the running file itself, else
  // the running file's folder.
  test::TempFolder place;
  test::WriteFile(place.Path("bin/vexlar"), "running");
  test::WriteFile(place.Path("old/vexlar"), "another");
  const std::string running = place.Path("bin/vexlar");
  EXPECT_EQ(place.Path("bin/../bin/"),
            ProgramDirectoryFor(place.Path("bin/../bin/vexlar"), running));
  EXPECT_EQ(place.Path("bin/"), ProgramDirectoryFor(place.Path("old/vexlar"), running));
  using K = SourceFileKind;
  const std::pair<const char*, K> cases[] = {
      {"/m/a.kolvo", K::kKolvo},           {"/m/mission.pld", K::kPld},
      {"/m/a.old/plain", K::kUnsupported}, {"c:\\a.b\\plain", K::kUnsupported},
      {"/m/attack.", K::kUnsupported},     {"/m/a.old/kolvo", K::kUnsupported},
  };
  for (const auto& [path, kind] : cases) EXPECT_EQ(kind, SourceFileKindOf(path)) << path;
}

// "/?" asks for help on Windows only; elsewhere it is a path like any other.
// (The other command lines are data cases.)
TEST(Driver, SlashQuestionMarkIsHelpOnWindows) {
  test::Surroundings place;
  const test::RunResult run = test::RunInProcess(place.executable, {"/?"});
  EXPECT_EQ(platform::kSeparator == '\\', run.console.rfind("Usage: vexlar", 0) == 0);
  EXPECT_EQ(platform::kSeparator == '\\', run.status == 0) << run.console;
}

}  // namespace vexlar
