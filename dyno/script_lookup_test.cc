#include "dyno/script_lookup.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace vexlar {
namespace {

// A found name as it stands (possibly empty), or "(none)".
std::string Shown(std::optional<std::string_view> name) {
  return name ? std::string(*name) : "(none)";
}

// The first match of the type (any case, never across a line end), the
// first "objectscript" after it, then in one look after that word the text
// between the last '\' or '/' and the next quotation mark. In `config` the
// types are met in a comment, in a longer word, with forward slashes and an
// upper-case word; an empty type matches at the start, an empty name is a
// name; `lead` puts the closing quote as the 255th character of the look.
TEST(FindScriptName, FirstTypeThenNextWordThenNameInOneLook) {
  const std::string config =
      "// gate, aaab, after depot in this file\n"
      "class Depot\n{\n\tobjectScript = \"\\d\\depot.txt\";\n};\n"
      "class Watchtower\n{\n\tOBJECTSCRIPT = \"/d/tower.txt\";\n};\nclass Orphan\n";
  const std::string lead = "t objectscript = \"" + std::string(237, ' ');
  using P = std::pair<const char*, const char*>;
  for (const auto& [type, name] :
       {P{"DEPOT", "depot.txt"}, P{"watchtower", "tower.txt"}, P{"tower", "tower.txt"},
        P{"gate", "depot.txt"}, P{"aab", "depot.txt"}, P{"", "depot.txt"},
        P{"depot.txt", "tower.txt"}, P{"ghost", "(none)"}, P{"orphan", "(none)"},
        P{"file\nclass", "(none)"}}) {
    EXPECT_EQ(name, Shown(FindScriptName(config, type))) << type;
  }
  const std::tuple<std::string, const char*, const char*> cases[] = {
      {"x\r\ny objectscript \"\\b\"", "x\r", "(none)"},
      {"x\ry objectscript \"\\b\"", "x\r", "b"},
      {"x\r\r\ny objectscript \"\\b\"", "x\r", "b"},
      {lead + R"(\dir\abcd.txt")", "t", "abcd.txt"},
      {lead + R"( \dir\abcd.txt")", "t", "(none)"},
      {R"(t objectScript = "\a\b.txt"; // c/d ")", "t", "d "},
      {R"(t objectScript = "\a\b.txt"; // c/d)", "t", "(none)"},
      {"t objectScript = \"\\a\\b.txt\"\n= \"\\c\\d.txt\"", "t", "b.txt"},
      {R"(t objectScript = "b.txt";)", "t", "(none)"},
      {R"(t objectScript = "\a\";)", "t", ""},
      {"t objectScript", "t", "(none)"},
      {"objectscript t", "t", "(none)"},
  };
  for (const auto& [text, type, name] : cases) {
    EXPECT_EQ(name, Shown(FindScriptName(text, type))) << type << " in " << text;
  }
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
