// Converts the bundled example mission with the bundled composition data
// and compares mission.pld and the log with the checked-in expected files.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/test_util.h"

namespace vexlar {
namespace {

namespace fs = std::filesystem;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

TEST(Golden, BundledExampleConvertsByteForByte) {
  const std::string source = VEXLAR_SOURCE_DIR;
  test::TempFolder folder;
  test::WriteFile(folder.Path("m/attack.kolvo"), test::ReadFile(source + "/examples/attack.kolvo"));
  fs::create_directories(folder.Path("bin"));
  fs::copy(source + "/data", folder.Path("bin"), fs::copy_options::recursive);

  const test::RunResult run =
      test::RunInProcess(folder.Path("bin/vexlar"), {folder.Path("m/attack.kolvo")});
  EXPECT_EQ(0, run.status);
  EXPECT_EQ(test::ReadFile(source + "/examples/expected/mission.pld"),
            test::ReadFile(folder.Path("m/mission.pld")));
  const std::string expected_log =
      Replace(test::ReadFile(source + "/examples/expected/log.txt"), "{BIN}", folder.Path("bin/"));
  EXPECT_EQ(expected_log, run.log_body);
}

}  // namespace
}  // namespace vexlar
