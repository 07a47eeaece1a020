// What only a POSIX file system offers: pipes, devices and symbolic links
// where a file is read, and sparse files beyond the size ReadWholeFile takes.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/platform.h"
#include "tests/test_util.h"

namespace vexlar::platform {
namespace {

namespace fs = std::filesystem;

TEST(PlatformPosix, ReadWholeFileTakesOnlyRegularFiles) {
  test::TempFolder folder;
  test::WriteFile(folder.Path("m/attack.kolvo"), "class");
  ASSERT_EQ(0, ::mkfifo(folder.Path("m/pipe.kolvo").c_str(), 0600));
  fs::create_symlink(folder.Path("m/attack.kolvo"), folder.Path("m/link.kolvo"));
  fs::create_symlink("/dev/zero", folder.Path("m/zero.kolvo"));
  fs::create_symlink(folder.Path("m"), folder.Path("m/folder.kolvo"));
  const struct {
    const char* name;
    bool read;
  } cases[] = {
      {"m/attack.kolvo", true},  {"m/link.kolvo", true},  // a link to a regular file
      {"m/pipe.kolvo", false},                            // would wait for a writer
      {"m/zero.kolvo", false},                            // a device without end
      {"m/folder.kolvo", false},                          // a link to a folder
  };
  for (const auto& c : cases) {
    std::string bytes = "before";
    EXPECT_EQ(c.read, ReadWholeFile(folder.Path(c.name), &bytes)) << c.name;
    EXPECT_EQ(c.read ? "class" : "before", bytes) << c.name;
  }
}

TEST(PlatformPosix, ReadWholeFileRefusesFilesBeyondTheLimit) {
  test::TempFolder folder;
  const std::string path = folder.Path("huge.kolvo");
  test::WriteFile(path, "class");
  fs::resize_file(path, kMaxReadSize + 1);  // sparse: takes no room on disk
  std::string bytes = "before";
  EXPECT_FALSE(ReadWholeFile(path, &bytes));
  EXPECT_EQ("before", bytes);
}

}  // namespace
}  // namespace vexlar::platform

#endif  // _WIN32
