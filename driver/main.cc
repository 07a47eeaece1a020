#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "platform/platform.h"

namespace {
// Taken before main runs, so the log header shows when the process started.
const std::tm kStartTime = vexlar::platform::LocalTime(std::time(nullptr));
}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args = vexlar::platform::CommandLineArguments(argc, argv);
  if (args.empty()) args.emplace_back("vexlar");
  // A console that goes away, or a file-size limit, fails a write; neither
  // ends the process without a word.
  vexlar::platform::IgnoreFailedWriteSignals();
  vexlar::RunContext context;
  context.start_time = kStartTime;
  context.local_time = [] { return vexlar::platform::LocalTime(std::time(nullptr)); };
  context.running_executable = vexlar::platform::RunningExecutable();
  vexlar::ReadEnvironment(vexlar::platform::EnvironmentVariable, &context);
  context.own_console = vexlar::platform::WaitsForKey(vexlar::platform::DescribeConsole());
  const int status = vexlar::RunVexlar(std::move(args), context);
  // A window of its own closes when the program ends: its text stays until
  // the user has read it.
  if (context.own_console) vexlar::platform::WaitForKey(stdout);
  return status;
}
