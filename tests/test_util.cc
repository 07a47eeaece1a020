#include "tests/test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "driver/driver.h"
#include "platform/platform.h"

namespace vexlar::test {
namespace fs = std::filesystem;

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  for (;;) {
    const fs::path candidate =
        fs::temp_directory_path() /
        ("vexlar-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate.string() + platform::kSeparator;
      return;
    }
  }
}

TempFolder::~TempFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string TempFolder::Path(const std::string& name) const {
  std::string path = path_ + name;
  std::replace(path.begin() + static_cast<std::ptrdiff_t>(path_.size()), path.end(), '/',
               platform::kSeparator);
  return path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

bool FileExists(const std::string& path) { return fs::exists(path); }

RunResult RunInProcess(const std::string& executable, const std::vector<std::string>& args) {
  // A real executable has a folder to live in.
  fs::create_directories(fs::path(executable).parent_path());
  std::vector<std::string> argv{executable};
  argv.insert(argv.end(), args.begin(), args.end());
  std::FILE* console = std::tmpfile();
  EXPECT_NE(nullptr, console);
  const std::string log_path = executable + ".log";
  const std::size_t log_before = ReadFile(log_path).size();

  RunResult result;
  const std::time_t now = std::time(nullptr);
  result.status = RunVexlar(argv, console, *std::localtime(&now));

  std::rewind(console);
  char chunk[4096];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, console)) > 0) result.console.append(chunk, got);
  std::fclose(console);
  result.log = ReadFile(log_path);
  std::string run = result.log.substr(std::min(log_before, result.log.size()));
  std::size_t body = 0;
  for (int line = 0; line < 5 && body != std::string::npos; ++line) {
    body = run.find('\n', body);
    if (body != std::string::npos) ++body;
  }
  result.log_body = body == std::string::npos ? std::string() : run.substr(body);
  return result;
}

}  // namespace vexlar::test
