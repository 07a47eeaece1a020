// The platform layer below what the end-to-end runs reach: path resolution
// and which files ReadWholeFile takes. On POSIX every end-to-end run also
// finds, writes and replaces files through names that differ in letter case
// (tests/test_util.h), and the faults test gives it folders, pipes and files
// beyond the read limit.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/test_util.h"

namespace vexlar::platform {
namespace {

namespace fs = std::filesystem;

TEST(Platform, FullPathResolvesAgainstTheCurrentDirectory) {
  const std::string root = FullPath(std::string(1, kSeparator)).value_or("(none)");
  const auto at_root = [&root](std::string path) {
    std::replace(path.begin(), path.end(), '/', kSeparator);
    return root + path;
  };
  EXPECT_EQ(fs::current_path().string() + kSeparator + "a.kolvo", FullPath("a.kolvo").value_or(""));
  for (const char* path : {"m/sub/../a.kolvo", "m/.//a.kolvo", "../m/a.kolvo"}) {
    EXPECT_EQ(at_root("m/a.kolvo"), FullPath(at_root(path)).value_or("(none)")) << path;
  }
#ifdef _WIN32
  // '/' is a separator too; letter case is kept.
  EXPECT_EQ("C:\\m\\A.KOLVO", FullPath("C:/m/A.KOLVO").value_or("(none)"));
#endif
}

TEST(Platform, ReadWholeFileTakesRegularFilesByteForByte) {
  test::TempFolder folder;
  // CR LF, a lone CR, NUL and the byte that ends a text-mode read on Windows.
  const std::string bytes("a\r\nb\rc\0d\x1a\n", 10);
  test::WriteFile(folder.Path("a.kolvo"), bytes);
#ifndef _WIN32
  fs::create_symlink(folder.Path("a.kolvo"), folder.Path("link.kolvo"));
  fs::create_symlink("/dev/zero", folder.Path("zero.kolvo"));
#endif
  const struct {
    std::string path;
    bool read;
  } cases[] = {
      {folder.Path("a.kolvo"), true},
#ifdef _WIN32
      {"NUL", false},  // a device
#else
      {folder.Path("link.kolvo"), true},
      {folder.Path("zero.kolvo"), false},  // a device without end
#endif
  };
  for (const auto& c : cases) {
    std::string got = "before";
    EXPECT_EQ(c.read, ReadWholeFile(c.path, &got)) << c.path;
    EXPECT_EQ(c.read ? bytes : "before", got) << c.path;
  }
}

}  // namespace
}  // namespace vexlar::platform
