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
namespace fs = std::filesystem;

TEST(Platform, FullPathResolvesAgainstTheCurrentDirectory) {
  const auto at_root = [](std::string path) {
    std::replace(path.begin(), path.end(), '/', kSeparator);
    return fs::current_path().root_path().string() + path;
  };
  EXPECT_EQ(fs::current_path().string() + kSeparator + "a.kolvo", FullPath("a.kolvo").value_or(""));
  for (const char* path : {"m/sub/../a.kolvo", "m/.//a.kolvo", "../m/a.kolvo"}) {
    EXPECT_EQ(at_root("m/a.kolvo"), FullPath(at_root(path)).value_or("(none)")) << path;
  }
  EXPECT_EQ(at_root(""), FullPath(at_root("")).value_or("(none)"));
#ifdef _WIN32
  // '/' is a separator too; letter case is kept.
  EXPECT_EQ("C:\\m\\A.KOLVO", FullPath("C:/m/A.KOLVO").value_or("(none)"));
#endif
}

// Byte for byte: CR LF, a lone CR, NUL and the byte that ends a text-mode
// read on Windows; a device is refused.
TEST(Platform, ReadWholeFileTakesRegularFilesByteForByte) {
  test::TempFolder folder;
  const std::string bytes("a\r\nb\rc\0d\x1a\n", 10);
  test::WriteFile(folder.Path("a.kolvo"), bytes);
  FileBytes got, linked;
  EXPECT_TRUE(ReadWholeFile(folder.Path("a.kolvo"), &got));
  EXPECT_EQ(bytes, got.view());
#ifdef _WIN32
  EXPECT_FALSE(ReadWholeFile("NUL", &got));
#else
  fs::create_symlink(folder.Path("a.kolvo"), folder.Path("link.kolvo"));
  EXPECT_TRUE(ReadWholeFile(folder.Path("link.kolvo"), &linked));
  EXPECT_EQ(bytes, linked.view());
  EXPECT_FALSE(ReadWholeFile("/dev/zero", &got));  // a device without end
  EXPECT_EQ(bytes, got.view());                    // kept as it was
#endif
}

#ifndef _WIN32
// A name that does not exist as given is matched without regard to case, the
// first in byte order winning; what matches nothing stays as given. A text
// not stored whole is told.
TEST(Platform, NamesInAnyCaseAndAppendedText) {
  test::TempFolder folder;
  for (const char* name : {"Camp.txt", "CAMP.txt", "camp.TXT"})
    test::WriteFile(folder.Path(name), "");
  EXPECT_EQ(folder.Path("CAMP.txt"), ResolveNameCase(folder.Path("camp.txt")));
  EXPECT_EQ(folder.Path("camp.TXT"), ResolveNameCase(folder.Path("camp.TXT")));
  EXPECT_EQ("./no/such.file", ResolveNameCase("./no/such.file"));
  EXPECT_EQ("/m/", FullPath("/m/.//").value_or(""));  // a trailing separator stays
  EXPECT_TRUE(AppendToTextFile(folder.Path("Camp.txt"), "a"));
  EXPECT_FALSE(AppendToTextFile("/dev/full", "a"));
}
#endif

// The program waits for a key only in a console window of its own that both
// its input and its output are: not in a command prompt's console, not with
// either redirected, never on POSIX.
TEST(Platform, WaitsForAKeyOnlyInAWindowOfItsOwn) {
  struct Row {
    const char* start;
    ConsoleFacts facts;
    bool waits;
  };
  const Row rows[] = {
      {"double-click, dropped file, Send to", {true, true, true}, true},
      {"command prompt, PowerShell, a batch file", {false, true, true}, false},
      {"own window, output redirected", {true, true, false}, false},
      {"own window, input redirected", {true, false, true}, false},
      {"own window, both redirected", {true, false, false}, false},
      {"a pipe in a command prompt", {false, false, true}, false},
      {"any start on POSIX", kSeparator == '\\' ? ConsoleFacts{} : DescribeConsole(), false},
  };
  for (const Row& row : rows) EXPECT_EQ(row.waits, WaitsForKey(row.facts)) << row.start;
}

}  // namespace vexlar::platform
