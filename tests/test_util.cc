#include "tests/test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "driver/driver.h"
#include "platform/platform.h"

namespace vexlar::test {
namespace fs = std::filesystem;

TempFolder::TempFolder(const std::string& parent) {
  static std::atomic<unsigned> counter{0};
  const std::string name =
      "vexlar-test-" + std::to_string(std::random_device()()) + "-" + std::to_string(counter++);
  path_ = ((parent.empty() ? fs::temp_directory_path() : fs::path(parent)) / name).string() +
          platform::kSeparator;
  fs::create_directories(path_);
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

std::string ReadFile(const std::string& path, bool binary) {
  std::ifstream in(path, binary ? std::ios::binary : std::ios::in);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

RunResult RunInProcess(const std::string& executable, const std::vector<std::string>& args,
                       const Environment& environment) {
  fs::create_directories(fs::path(executable).parent_path());
  std::vector<std::string> argv{executable};
  argv.insert(argv.end(), args.begin(), args.end());
  const std::string log_path = executable + ".log", console_path = executable + ".console",
                    errors_path = executable + ".errors";
  const std::size_t log_before = ReadFile(log_path).size();
  RunContext context;
  context.start_time.tm_mday = 11, context.start_time.tm_mon = 10 - 1;
  context.start_time.tm_year = 2008 - 1900, context.start_time.tm_hour = 14;
  context.start_time.tm_min = 20, context.start_time.tm_sec = 5;
  ReadEnvironment(
      [&environment](const char* name) -> std::optional<std::string> {
        for (const auto& [variable, value] : environment) {
          if (variable == name) return value;
        }
        return std::nullopt;
      },
      &context);
  context.console = std::fopen(console_path.c_str(), "wb");
  context.errors = std::fopen(errors_path.c_str(), "wb");
  EXPECT_TRUE(context.console && context.errors);
  RunResult result;
  result.status = RunVexlar(argv, context);
  std::fclose(context.console);
  std::fclose(context.errors);
  result.console = ReadFile(console_path);
  result.errors = ReadFile(errors_path);
  result.log = ReadFile(log_path);
  std::size_t body = log_before;  // after the five header lines of this run
  for (int line = 0; line < 5 && body < result.log.size(); ++line)
    body = result.log.find('\n', body) + 1;
  result.log_body = result.log.substr(std::min(body, result.log.size()));
  return result;
}

std::string KolvoObject(const std::string& header, const std::string& type,
                        const std::string& arguments) {
  return "class " + header + "\n{\n\tobjectType=\"" + type + "\";\n\tclass Arguments\n\t{\n" +
         arguments + "\t};\n};\n";
}

const std::string Surroundings::kConfigText =
    "class CfgDynO\n{\n\tclass camp\n\t{\n\t\tobjectScript = \"\\dyno\\camp.txt\";\n\t};\n};\n";
const std::string Surroundings::kScriptText = "[\"Tent\",[1,2],0]\n[\"Jeep\",[3,4,0],90,0.5,0.1]\n";
const std::string Surroundings::kSourceText =
    KolvoObject("_oc_1", "objectComposition",
                "\t\tTYPE=\"camp\";\n\t\tPOSITION=\"[100,200,0]\";\n") +
    KolvoObject("_marker_2", "marker", "\t\tTEXT=\"flag\";\n");

Surroundings::Surroundings() {
  WriteFile(Path(kConfig), kConfigText);
  WriteFile(Path(kScript), kScriptText);
  WriteFile(source, kSourceText);
  WriteFile(mission, "keep me");
}

}  // namespace vexlar::test
