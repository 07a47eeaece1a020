#include "platform/platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/test_util.h"

namespace vexlar::platform {
namespace {

namespace fs = std::filesystem;

// How a line end written to a text stream is stored.
#ifdef _WIN32
constexpr char kStoredLineEnd[] = "\r\n";
#else
constexpr char kStoredLineEnd[] = "\n";
#endif

std::string Bytes(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(ReadWholeFile(path, &bytes)) << path;
  return bytes;
}

TEST(Platform, FullPathResolvesAgainstTheCurrentDirectory) {
  const std::string sep(1, kSeparator);
  const std::optional<std::string> root = FullPath(sep);
  ASSERT_TRUE(root.has_value());
  ASSERT_EQ(kSeparator, root->back());
  const std::string cwd = fs::current_path().string();
  const struct {
    std::string path;
    std::string full;
  } cases[] = {
      {"attack.kolvo", cwd + sep + "attack.kolvo"},
      {*root + "m" + sep + "sub" + sep + ".." + sep + "attack.kolvo",
       *root + "m" + sep + "attack.kolvo"},
      {*root + "m" + sep + "." + sep + sep + "attack.kolvo", *root + "m" + sep + "attack.kolvo"},
      {*root + ".." + sep + "m", *root + "m"},
#ifdef _WIN32
      {"C:/m/attack.kolvo", "C:\\m\\attack.kolvo"},    // '/' is a separator too
      {"c:\\m\\Attack.KOLVO", "c:\\m\\Attack.KOLVO"},  // letter case is kept
#endif
  };
  for (const auto& c : cases) EXPECT_EQ(c.full, FullPath(c.path).value_or("(none)")) << c.path;
}

TEST(Platform, FullPathIsLimitedTo260Characters) {
  const std::string root = FullPath(std::string(1, kSeparator)).value_or("");
  ASSERT_LT(root.size(), kMaxFullPath);
  const std::string longest = root + std::string(kMaxFullPath - root.size(), 'a');
  const std::string shorter = longest.substr(0, kMaxFullPath - 1);
  EXPECT_EQ(shorter, FullPath(shorter).value_or("(none)"));
  EXPECT_FALSE(FullPath(longest + "a").has_value());
#ifndef _WIN32
  // On Windows _fullpath decides the last character: the ANSI path functions
  // take MAX_PATH characters with the terminating NUL.
  EXPECT_EQ(longest, FullPath(longest).value_or("(none)"));
#endif
}

TEST(Platform, TextFilesStoreThePlatformsLineEnd) {
  test::TempFolder folder;
  const std::string path = folder.Path("run.log");
  FilePtr file = OpenTextFile(path, "w");
  ASSERT_TRUE(file);
  std::fputs("one\ntwo\n", file.get());
  file.reset();
  ASSERT_TRUE(AppendToTextFile(path, "one\ntwo\n"));
  const std::string twice = "one" + std::string(kStoredLineEnd) + "two" + kStoredLineEnd;
  EXPECT_EQ(twice + twice, Bytes(path));  // appended, not replaced

  FilePtr replacing = OpenTextFile(path, "w");
  ASSERT_TRUE(replacing);
  std::fputs("x\n", replacing.get());
  replacing.reset();
  EXPECT_EQ("x" + std::string(kStoredLineEnd), Bytes(path));  // "w" replaces

  // Appending creates a missing file; a folder is no file.
  ASSERT_TRUE(AppendToTextFile(folder.Path("new.log"), "n"));
  EXPECT_EQ("n", Bytes(folder.Path("new.log")));
  EXPECT_FALSE(OpenTextFile(folder.Path(""), "a"));
  EXPECT_FALSE(AppendToTextFile(folder.Path(""), "n"));
}

TEST(Platform, ReadWholeFileKeepsEveryByte) {
  test::TempFolder folder;
  // CR LF, a lone CR, NUL and the byte that ends a text-mode read on Windows.
  const std::string bytes(
      "a\r\nb\rc\0d\x1a"
      "e\n",
      11);
  test::WriteFile(folder.Path("m/attack.kolvo"), bytes);
  EXPECT_EQ(bytes, Bytes(folder.Path("m/attack.kolvo")));

  std::string untouched = "before";
  EXPECT_FALSE(ReadWholeFile(folder.Path("m/missing.kolvo"), &untouched));
  EXPECT_FALSE(ReadWholeFile(folder.Path("m"), &untouched));
}

#ifdef _WIN32
TEST(Platform, ReadWholeFileTakesOnlyFilesOnDisk) {
  test::TempFolder folder;
  std::string bytes = "before";
  EXPECT_FALSE(ReadWholeFile("NUL", &bytes));  // a device
  const std::string large = folder.Path("large.kolvo");
  test::WriteFile(large, "");
  fs::resize_file(large, kMaxReadSize + 1);
  EXPECT_FALSE(ReadWholeFile(large, &bytes));
  EXPECT_EQ("before", bytes);
}
#endif

TEST(Platform, NamesDifferingOnlyInLetterCaseFindTheFile) {
  test::TempFolder folder;
  test::WriteFile(folder.Path("Bin/DynO/Depot.TXT"), "depot");
  EXPECT_EQ("depot", Bytes(folder.Path("bin/dyno/depot.txt")));

  // Writing through another spelling replaces the file rather than adding one.
  FilePtr file = OpenTextFile(folder.Path("BIN/dyno/DEPOT.txt"), "w");
  ASSERT_TRUE(file);
  std::fputs("again", file.get());
  file.reset();
  ASSERT_TRUE(AppendToTextFile(folder.Path("bin/DYNO/depot.txt"), "!"));
  EXPECT_EQ("again!", Bytes(folder.Path("Bin/DynO/Depot.TXT")));
  EXPECT_EQ(
      1, std::distance(fs::directory_iterator(folder.Path("Bin/DynO")), fs::directory_iterator()));
}

TEST(Platform, ReplaceAndRemoveFiles) {
  test::TempFolder folder;
  const std::string mission = folder.Path("mission.pld");
  test::WriteFile(mission, "old");
  test::WriteFile(folder.Path("mission.pld.tmp"), "new");
  EXPECT_TRUE(ReplaceFile(folder.Path("mission.pld.tmp"), mission));
  EXPECT_EQ("new", Bytes(mission));
  EXPECT_FALSE(test::FileExists(folder.Path("mission.pld.tmp")));

  EXPECT_FALSE(ReplaceFile(folder.Path("missing.tmp"), mission));
  EXPECT_EQ("new", Bytes(mission));

  RemoveFile(mission);
  EXPECT_FALSE(test::FileExists(mission));
  RemoveFile(mission);  // a missing file is no error
}

}  // namespace
}  // namespace vexlar::platform
