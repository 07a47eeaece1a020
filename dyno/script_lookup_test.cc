#include "dyno/script_lookup.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/table_cases.h"

namespace vexlar {
namespace {

// A found name as it stands (possibly empty), or "(none)".
std::string Shown(std::optional<std::string_view> name) {
  return name ? std::string(*name) : "(none)";
}

// The first match of the type (any case, never across a line end), the
// first "objectscript" after it, then in one look after that word the text
// between the last '\' or '/' and the next quotation mark.
TEST(FindScriptName, FirstTypeThenNextWordThenNameInOneLook) {
  test::RunTableCases("dyno/script_lookup_cases.txt",
                      [](const auto& in) { return Shown(FindScriptName(in.at(0), in.at(1))); });
}

// Types that overlap, nest, repeat and hold line ends, looked up together
// in one pass over random configurations, give the answers they give alone;
// so does a type looked up that was not given.
TEST(ScriptNameFinder, ManyTypesInOnePassAgreeWithOneByOne) {
  const std::vector<std::string> pieces = {
      "a",  "b",   "A",       "B",        "ab",
      "ba", "aab", "\n",      "\r\n",     "\r",
      " ",  "c",   "x.txt\"", "/y.txt\"", "objectScript = \"\\d\\"};
  const std::vector<std::string> types = {"a",   "b",   "ab",   "ba",    "aab", "abab", "AB",
                                          "bab", "aaa", "ab\r", "b\nA",  "",    "c",    "ca",
                                          "x",   "txt", "aba",  "bbbbb", "ccc", "a a"};
  const std::vector<std::string_view> views(types.begin(), types.end() - 1);  // "a a" not given
  std::mt19937 random(20240611);
  for (int round = 0; round < 300; ++round) {
    std::string config;
    for (int i = static_cast<int>(random() % 40); i > 0; --i) {
      config += pieces[random() % pieces.size()];
    }
    const ScriptNameFinder finder(config, views);
    for (const std::string& type : types) {
      EXPECT_EQ(Shown(FindScriptName(config, type)), Shown(finder.Find(type)))
          << "type " << type << " in\n"
          << config;
    }
  }
}

}  // namespace
}  // namespace vexlar
