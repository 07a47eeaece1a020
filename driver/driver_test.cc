#include "driver/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "tests/test_util.h"
#include "text/ascii.h"

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

// --each a b does what `vexlar a` and then `vexlar b` do: the same log
// blocks, console text, notes and files, and then one line that counts
// them. Also when one of them fails and when --merge or --check is given.
TEST(Driver, EachPathIsARunOfItsOwn) {
  const auto run_in = [](test::Surroundings& place, const std::vector<std::string>& words,
                         bool each) {
    // Two sources in two folders: the composition mission, and a copy of it
    // beside a mission.pld of its own; and a path that does not exist.
    test::WriteFile(place.Path("N/b.kolvo"), test::Surroundings::kSourceText);
    test::WriteFile(place.Path("N/mission.pld"), test::ReadFile(place.mission));
    std::vector<std::string> paths = {place.source, place.Path("N/missing.kolvo"),
                                      place.Path("N/b.kolvo")};
    test::RunResult all;
    std::vector<std::string> args = words;
    if (each) {
      args.insert(args.begin(), "--each");
      args.insert(args.end(), paths.begin(), paths.end());
      all = test::RunInProcess(place.executable, args);
    } else {
      for (const std::string& path : paths) {
        args.push_back(path);
        const test::RunResult one = test::RunInProcess(place.executable, args);
        args.pop_back();
        all.status = std::max(all.status, one.status);
        all.console += one.console;
        all.errors += one.errors;
      }
      all.log = test::ReadFile(place.executable + ".log");
    }
    all.log_body =
        test::ReadFile(place.mission) + "|" + test::ReadFile(place.Path("N/mission.pld"));
    return all;
  };
  const std::vector<std::vector<std::string>> options = {{}, {"--merge"}, {"--check"}, {"win"}};
  for (const std::vector<std::string>& words : options) {
    test::Surroundings each_place, one_place;
    const test::RunResult each = run_in(each_place, words, true);
    const test::RunResult one = run_in(one_place, words, false);
    const std::string label = words.empty() ? "" : words[0];
    // The texts name the folders as given and folded to lower case.
    const auto moved = [&](const std::string& text) {
      std::string from = one_place.Path(), to = each_place.Path();
      const std::string as_given = test::Replace(text, from, to);
      FoldLowerInPlace(from);
      FoldLowerInPlace(to);
      return test::Replace(as_given, from, to);
    };
    EXPECT_EQ(one.status, each.status) << label;
    EXPECT_EQ(moved(one.console), each.console) << label;
    EXPECT_EQ(one.log_body, each.log_body) << label;  // the mission files
    EXPECT_EQ(moved(one.log), each.log) << label;
    // The notes, then the count.
    const std::size_t last = each.errors.rfind('\n', each.errors.size() - 2) + 1;
    EXPECT_EQ(moved(one.errors), each.errors.substr(0, last)) << label;
    EXPECT_NE(std::string::npos, each.errors.find(" failed: ", last)) << each.errors;
  }
}

}  // namespace vexlar
