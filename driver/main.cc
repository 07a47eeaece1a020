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
  std::vector<std::string> args(argv, argv + argc);
  if (args.empty()) args.emplace_back("vexlar");
  return vexlar::RunVexlar(std::move(args), stdout, kStartTime);
}
