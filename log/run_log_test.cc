#include "log/run_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/table_cases.h"
#include "tests/test_util.h"

namespace vexlar {

TEST(RunLog, LogPathReplacesTheExtensionOfTheFileName) {
  test::RunTableCases("log/log_path_cases.txt",
                      [](const auto& in) { return LogPathFor(in.at(0)); });
}

// Every log appends its header and messages to the file; the console gets
// each message with one more line break, formatted ones cut at 511
// characters. (The version a run shows: the data case cli-help-and-version.)
TEST(RunLog, AppendsHeaderAndMessagesAndEchoesMessages) {
  test::TempFolder folder;
  std::FILE* console = std::fopen(folder.Path("console").c_str(), "w");
  ASSERT_NE(nullptr, console);
  ProgramInfo info;
  info.version = "9.87", info.build = 6;
  info.start_time.tm_mday = 11, info.start_time.tm_mon = 9, info.start_time.tm_year = 108;
  info.start_time.tm_hour = 14, info.start_time.tm_min = 20, info.start_time.tm_sec = 5;
  for (int run = 0; run < 2; ++run) {
    RunLog log(folder.Path("run.log"), console);
    log.WriteHeader(info);
    log.Line("Mode: 1\n");
    log.Format("%s%i", std::string(600, 'x').c_str(), run);
  }
  const std::string header =
      "//----------------------------------------------------\n"
      "//   Program: vexlar\n"
      "//   Version: 9.87.6\n"
      "//   Start time: 11.10.2008 14:20:5\n"
      "//----------------------------------------------------\n";
  const std::string x511(511, 'x');
  EXPECT_EQ(header + "Mode: 1\n" + x511 + header + "Mode: 1\n" + x511,
            test::ReadFile(folder.Path("run.log")));
  std::fclose(console);
  EXPECT_EQ("Mode: 1\n\n" + x511 + "\nMode: 1\n\n" + x511 + "\n",
            test::ReadFile(folder.Path("console")));
}

// A log that cannot be written is told once, on the error stream.
TEST(RunLog, UnwritableLogIsToldOnce) {
  test::TempFolder folder;
  RunLog log(folder.Path(), stdout);
  testing::internal::CaptureStderr();
  log.Line("a");
  log.Line("b");
  EXPECT_EQ("vexlar: cannot write the log file " + folder.Path() + "\n",
            testing::internal::GetCapturedStderr());
}

}  // namespace vexlar
