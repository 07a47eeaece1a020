// The platform layer below what the end-to-end runs reach: path resolution,
// which files ReadWholeFile takes, and the backup steps that a replacement
// undoes when its rename fails. (File stamps: a watch backs up a mission.pld
// changed by another program, never its own, tests/watch_e2e.py.) On POSIX
// every end-to-end run also finds, writes and replaces files through names
// that differ in letter case (tests/test_util.h); the faults test and data
// cases give it folders, pipes and files beyond the read limit.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/backup.h"
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
  // A file that holds more than its size told, as /proc's do: read to its end.
  EXPECT_TRUE(ReadWholeFile("/proc/version", &got));
  EXPECT_EQ(test::ReadFile("/proc/version"), got.view());
#endif
}

// A number taken since the folder was read is passed over; an undone
// backup leaves the folder as it was, an older simple backup included.
TEST(Platform, BackupStepsNeverReplaceAndUndoWhole) {
  test::TempFolder folder;
  const std::string mission = folder.Path("mission.pld");
  test::WriteFile(mission, "old");
  test::WriteFile(mission + ".~1~", "one");
  EXPECT_EQ(mission + ".~2~", MakeNumberedBackup(mission, mission, 1));
  EXPECT_EQ("one", test::ReadFile(mission + ".~1~"));
  EXPECT_EQ("old", test::ReadFile(mission + ".~2~"));

  BackupPolicy simple;
  simple.control = BackupPolicy::kSimple;
  const auto names = [&folder] {
    std::vector<std::string> names = FolderEntries(folder.Path());
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) { return n == "." || n == ".."; }),
                names.end());
    std::sort(names.begin(), names.end());
    return names;
  };
  const std::vector<std::string> before = names();
  for (const bool older : {true, false}) {
    if (older) test::WriteFile(mission + "~", "older");
    PendingBackup backup;
    ASSERT_TRUE(backup.Make(mission, mission, simple)) << older;
    EXPECT_EQ("old", test::ReadFile(mission + "~")) << older;
    backup.Undo();
    EXPECT_EQ(older ? "older" : "", test::ReadFile(mission + "~")) << older;
    EXPECT_EQ(older, EntryKindOf(mission + "~") != EntryKind::kNone) << older;
    if (older) RemoveFile(mission + "~");
  }
  EXPECT_EQ(before, names());
  test::WriteFile(mission + "~", "older");
  PendingBackup kept;
  ASSERT_TRUE(kept.Make(mission, mission, simple));
  kept.Keep();
  EXPECT_EQ("old", test::ReadFile(mission + "~"));
  std::vector<std::string> with_simple = before;
  with_simple.push_back("mission.pld~");
  EXPECT_EQ(with_simple, names());  // nothing else left beside it

  BackupPolicy numbered;
  numbered.control = BackupPolicy::kExisting;
  PendingBackup undone;
  ASSERT_TRUE(undone.Make(mission, mission, numbered));
  EXPECT_EQ(mission + ".~3~", undone.name());
  undone.Undo();
  EXPECT_EQ(with_simple, names());
}

#ifndef _WIN32
// A backup that cannot be made, here a name too long for the file system,
// is told with the name it would have had, and nothing is left behind.
TEST(Platform, ABackupThatCannotBeMadeIsTold) {
  test::TempFolder folder;
  const std::string old = folder.Path(std::string(252, 'm'));
  test::WriteFile(old, "old");
  for (const auto control : {BackupPolicy::kSimple, BackupPolicy::kNumbered}) {
    BackupPolicy policy;
    policy.control = control;
    PendingBackup backup;
    EXPECT_FALSE(backup.Make(old, old, policy)) << control;
    EXPECT_EQ(old + (control == BackupPolicy::kSimple ? "~" : ".~1~"), backup.name()) << control;
    backup.Undo();
  }
  EXPECT_EQ(1, std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()));
}

// A mission.pld that is a link is backed up beside the link, as a file of
// its own that holds what the link named; the link stays. A named file on
// another file system (/dev/shm, where it is one) is copied, not linked.
TEST(Platform, BackupOfALinkHoldsTheFileItNamed) {
  test::TempFolder folder;
  std::optional<test::TempFolder> other;
  std::vector<const test::TempFolder*> shared{&folder};
  if (fs::is_directory("/dev/shm") && StampOf("/dev/shm")->device != StampOf(folder.Path())->device)
    shared.push_back(&other.emplace("/dev/shm"));
  for (std::size_t i = 0; i < shared.size(); ++i) {
    const std::string real = shared[i]->Path("shared/real.pld"),
                      link = folder.Path("m" + std::to_string(i) + "/mission.pld");
    test::WriteFile(real, "old");
    fs::create_directories(folder.Path("m" + std::to_string(i)));
    fs::create_symlink(real, link);
    BackupPolicy policy;
    policy.control = BackupPolicy::kNumbered;
    ReplacementFile file(link, ReplacementFile::kBinary, policy);
    std::fputs("new", file.stream());
    ASSERT_TRUE(file.Commit()) << real;
    EXPECT_EQ(link + ".~1~", file.backup_path());
    EXPECT_FALSE(IsSymbolicLink(link + ".~1~"));
    EXPECT_EQ("old", test::ReadFile(link + ".~1~")) << real;
    EXPECT_TRUE(IsSymbolicLink(link));
    EXPECT_EQ("new", test::ReadFile(real));
    EXPECT_EQ(*StampOf(real), *file.written_stamp());
  }
}

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
