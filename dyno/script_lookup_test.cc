#include "dyno/script_lookup.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "dyno/line_look.h"

namespace vexlar {
namespace {

// A found name as it stands (possibly empty), or "(none)".
std::string Shown(std::optional<std::string_view> name) {
  return name ? std::string(*name) : "(none)";
}

// A look ends before LF or CR LF (a lone CR is text) or after 255
// characters, a CR LF counting as one.
TEST(LineAt, StopsAtTheLineEndOrAfter255Characters) {
  const std::string x254(254, 'x');
  const std::string x255(255, 'x');
  const struct {
    std::string bytes;
    std::size_t position;
    std::string look;
  } cases[] = {
      {"abc\r\ndef", 1, "bc"}, {"a\rb\nc", 0, "a\rb"},    {"abc\ndef", 4, "def"},    {"abc", 3, ""},
      {x255 + "yz", 0, x255},  {x254 + "\r\nz", 0, x254}, {x255 + "\r\nz", 0, x255},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.look, LineAt(c.bytes, c.position)) << c.bytes.substr(0, 9) << " @" << c.position;
  }
}

// The first match of the type (any case, never across a line end), the
// first "objectscript" after it, then in one look after that word the text
// between the last '\' or '/' and the next quotation mark.
TEST(FindScriptName, FirstTypeThenNextWordThenNameInOneLook) {
  const std::string config =
      "// gate, aaab, after depot in this file\n"
      "class Depot\n{\n\tobjectScript = \"\\d\\depot.txt\";\n};\n"
      "class Watchtower\n{\n\tOBJECTSCRIPT = \"/d/tower.txt\";\n};\nclass Orphan\n";
  // The closing quote as the 255th character of the look, then one later.
  const std::string lead = "t objectscript = \"" + std::string(237, ' ');
  const struct {
    std::string config;
    const char* type;
    const char* name;
  } cases[] = {
      {config, "DEPOT", "depot.txt"},
      {config, "watchtower", "tower.txt"},  // forward slashes, upper-case word
      {config, "tower", "tower.txt"},       // inside a longer word
      {config, "gate", "depot.txt"},        // first met in the comment
      {config, "aab", "depot.txt"},
      {config, "", "depot.txt"},           // an empty type matches at the start
      {config, "depot.txt", "tower.txt"},  // the next word after the match
      {config, "ghost", "(none)"},
      {config, "orphan", "(none)"},
      {config, "file\nclass", "(none)"},
      {"x\r\ny objectscript \"\\b\"", "x\r", "(none)"},
      {"x\ry objectscript \"\\b\"", "x\r", "b"},
      {lead + R"(\dir\abcd.txt")", "t", "abcd.txt"},
      {lead + R"( \dir\abcd.txt")", "t", "(none)"},
      {R"(t objectScript = "\a\b.txt"; // c/d ")", "t", "d "},
      {R"(t objectScript = "\a\b.txt"; // c/d)", "t", "(none)"},
      {"t objectScript = \"\\a\\b.txt\"\n= \"\\c\\d.txt\"", "t", "b.txt"},
      {R"(t objectScript = "b.txt";)", "t", "(none)"},
      {R"(t objectScript = "\a\";)", "t", ""},  // an empty name is a name
      {"t objectScript", "t", "(none)"},
      {"objectscript t", "t", "(none)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.name, Shown(FindScriptName(c.config, c.type))) << c.type << " in " << c.config;
  }
}

// Types that overlap, nest, repeat and hold line ends, looked up together
// in one pass over random configurations, give the answers they give alone.
TEST(ScriptNameFinder, ManyTypesInOnePassAgreeWithOneByOne) {
  const std::vector<std::string> pieces = {
      "a",  "b",    "A", "B", "ab",      "ba",       "aab",
      "\n", "\r\n", " ", "c", "x.txt\"", "/y.txt\"", "objectScript = \"\\d\\"};
  const std::vector<std::string> types = {"a",   "b",   "ab",   "ba",    "aab", "abab", "AB",
                                          "bab", "aaa", "ab\r", "b\nA",  "",    "c",    "ca",
                                          "x",   "txt", "aba",  "bbbbb", "ccc", "a a"};
  const std::vector<std::string_view> views(types.begin(), types.end());
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
