#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "platform/platform.h"
#include "store/store.h"

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
  // The objects stay until the process ends and the system takes their
  // memory back at once: freeing a mission of a million objects one
  // allocation at a time takes a quarter of a second.
  static vexlar::ObjectStore* const store = new vexlar::ObjectStore;
  vexlar::RunContext context;
  context.start_time = kStartTime;
  context.running_executable = vexlar::platform::RunningExecutable();
  vexlar::ReadEnvironment(vexlar::platform::EnvironmentVariable, &context);
  return vexlar::RunVexlar(std::move(args), context, store);
}
