#include "tests/table_cases.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>

namespace vexlar::test {
namespace {

// The text of `field` with its escapes replaced.
std::string Unescape(const std::string& field) {
  static const std::string kNames = "nrts\\", kChars = "\n\r\t \\";
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    std::size_t count = 1, digits = 0;
    if (field[i] == '\\' && i + 1 < field.size() &&
        std::isdigit(static_cast<unsigned char>(field[i + 1]))) {
      count = std::stoul(field.substr(i + 1), &digits);
      i += 2 + digits;  // past the '*', at the repeated character
    }
    if (i >= field.size() || (digits != 0 && field[i - 1] != '*')) break;
    char c = field[i];
    if (c == '\\') {
      const std::size_t k = i + 1 < field.size() ? kNames.find(field[++i]) : std::string::npos;
      if (k == std::string::npos) break;
      c = kChars[k];
    }
    text.append(count, c);
    if (i + 1 == field.size()) return text;
  }
  if (!field.empty()) ADD_FAILURE() << "a bad escape in " << field;
  return text;
}

}  // namespace

void RunTableCases(const std::string& path,
                   const std::function<std::string(const std::vector<std::string>&)>& run) {
  std::ifstream in(VEXLAR_SOURCE_DIR "/" + path, std::ios::binary);
  ASSERT_TRUE(in) << "cannot read " << path;
  std::vector<std::string> inputs;
  std::string line;
  int number = 0, cases = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    SCOPED_TRACE(path + ":" + std::to_string(number));
    if (line.empty() || line[0] == '#') continue;
    if ((line[0] != '<' && line[0] != '>') || (line.size() > 1 && line[1] != ' ') ||
        line.back() == ' ' || line.back() == '\t') {
      ADD_FAILURE() << "not a case line: " << line;
      continue;
    }
    const std::string text = Unescape(line.size() > 2 ? line.substr(2) : "");
    if (line[0] == '<') {
      inputs.push_back(text);
      continue;
    }
    EXPECT_EQ(text, run(inputs));
    inputs.clear();
    ++cases;
  }
  EXPECT_TRUE(inputs.empty()) << path << ": inputs without an expected output at the end";
  EXPECT_GT(cases, 0) << path << ": no case";
}

}  // namespace vexlar::test
