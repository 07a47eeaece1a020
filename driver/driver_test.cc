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

// Every kind of command line: what goes to standard output (the log's
// messages, when a header was written), to standard error, the status, and
// whether mission.pld was replaced. {M} is the mission folder as typed,
// {m} as the driver keeps it (folded to lower case).
TEST(Driver, CommandLines) {
  const std::string usage = "Usage: vexlar [options] [intro|win|loose] <mission.kolvo>\n";
  const std::string unknown = "'; see vexlar --help\n";
  const bool windows = platform::kSeparator == '\\';
  const struct {
    std::vector<std::string> args;
    int status;
    bool header, converts;
    std::string output;  // the start of the log body, or of the console without a header
    std::string errors;  // all of standard error
  } cases[] = {
      {{"{M}attack.kolvo", "WIN"}, 0, true, true, "Mode: 2\n", ""},
      {{"win", "intro", "{M}attack.kolvo"}, 0, true, true, "Mode: 0\n", ""},
      {{"LOSE", "{M}attack.kolvo"}, 0, true, true, "Mode: 3\n", ""},
      {{"loose", "{M}missing.kolvo", "{M}ATTACK.KOLVO"},
       0,
       true,
       true,
       "Mode: 3\n",
       "vexlar: one file at a time: converting {m}attack.kolvo, ignoring {m}missing.kolvo\n"},
      {{"--", "{M}-x.kolvo"}, 0, true, true, "Mode: 1\n", ""},
      {{"{M}missing.kolvo"},
       1,
       true,
       false,
       "Mode: 1\nConverting from 3d to 2d editor...\nCKOLVO: Cannot open file!\n",
       "vexlar: cannot open {m}missing.kolvo\n"},
      {{"WIN", "loose"},
       1,
       true,
       false,
       "ERROR: No file for converting!\n",
       "vexlar: name a .kolvo file to convert; see vexlar --help\n"},
      {{"--version"}, 0, false, false, "vexlar 1.00.10\n", ""},
      {{"-V", "{M}attack.kolvo"}, 0, false, false, "vexlar 1.00.10\n", ""},
      {{"win", "--help", "{M}attack.kolvo"}, 0, false, false, usage, ""},
      {{"-h"}, 0, false, false, usage, ""},
      {{"/?"},
       windows ? 0 : 1,
       !windows,
       false,
       windows ? usage : "Mode: 1\nERROR: Unsupported file type!\n",
       ""},
      {{"--foo", "{M}attack.kolvo"},
       2,
       false,
       false,
       "",
       "vexlar: unknown option '--foo" + unknown},
      {{"-v", "--x"}, 2, false, false, "", "vexlar: unknown option '-v" + unknown},
      {{"-", "{M}attack.kolvo"},
       0,
       true,
       true,
       "Mode: 1\n",
       "vexlar: one file at a time: converting {m}attack.kolvo, ignoring -\n"},
      {{"{M}attack.kolvo", "--dyno"},
       2,
       false,
       false,
       "",
       "vexlar: --dyno needs a folder; see vexlar --help\n"},
  };
  for (const auto& c : cases) {
    test::Surroundings place;
    test::WriteFile(place.Path("M/-x.kolvo"), test::Surroundings::kSourceText);
    const auto placed = [&place](std::string text) {
      std::string folded = place.Path("M/");
      for (char& ch : folded) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      return test::Replace(test::Replace(text, "{M}", place.Path("M/")), "{m}", folded);
    };
    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(placed(arg));
    const test::RunResult run = test::RunInProcess(place.executable, args);
    const std::string what = c.args[0] + " " + c.output;
    EXPECT_EQ(c.status, run.status) << what;
    EXPECT_EQ(0u, (c.header ? run.log_body : run.console).find(c.output)) << what << run.console;
    EXPECT_EQ(placed(c.errors), run.errors) << what;
    EXPECT_EQ(c.header, run.log.find("//   Start time: 11.10.2008 14:20:5\n") != std::string::npos)
        << what;
    EXPECT_EQ(c.converts, test::ReadFile(place.mission) != "keep me") << what;
  }
}

// The version shown by --version and written in the log header is the
// project's: 1.0.10 is shown as 1.00.10.
TEST(Driver, VersionIsTheProjectVersion) {
  std::string version = VEXLAR_PROJECT_VERSION;
  const std::size_t minor = version.find('.') + 1;
  if (version.find('.', minor) - minor == 1) version.insert(minor, "0");
  test::Surroundings place;
  EXPECT_EQ("vexlar " + version + "\n", test::RunInProcess(place.executable, {"-V"}).console);
  const test::RunResult run = test::RunInProcess(place.executable, {place.source});
  EXPECT_NE(std::string::npos, run.log.find("//   Version: " + version + "\n")) << run.log;
}

}  // namespace vexlar
