#include "dyno/script_lookup.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "dyno/text_look.h"

namespace vexlar {
namespace {

TEST(LookAt, StopsAtTheLineEndOrAfter255Characters) {
  const std::string x254(254, 'x');
  const std::string x255(255, 'x');
  const struct {
    std::string bytes;
    std::size_t position;
    std::string look;
  } cases[] = {
      {"abc\ndef", 0, "abc"},    {"abc\r\ndef", 1, "bc"},
      {"a\rb\nc", 0, "a\rb"},  // a lone CR is an ordinary character
      {"abc\ndef", 4, "def"},    {"abc", 9, ""},
      {x255 + "yz", 0, x255},    {x254 + "\r\nz", 0, x254},  // CR LF counts as the 255th character
      {x255 + "\r\nz", 0, x255},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.look, LookAt(c.bytes, c.position)) << c.bytes.substr(0, 20) << " @" << c.position;
  }
}

constexpr char kConfig[] =
    "// gate comes after depot in this file\n"
    "class CfgDynO\n"
    "{\n"
    "\tclass Depot\n"
    "\t{\n"
    "\t\tobjectScript = \"\\data\\DynO\\depot.txt\";\n"
    "\t};\n"
    "\tclass Watchtower\n"
    "\t{\n"
    "\t\tOBJECTSCRIPT = \"/data/DynO/tower.txt\";\n"
    "\t};\n"
    "\tclass Orphan\n"
    "\t{\n"
    "\t};\n"
    "};\n";

TEST(FindScriptName, FirstOccurrenceOfTheTypeThenTheNextObjectScript) {
  const struct {
    const char* type;
    std::optional<std::string> name;
  } cases[] = {
      {"Depot", "depot.txt"},
      {"DEPOT", "depot.txt"},
      {"watchtower", "tower.txt"},  // forward slashes, upper-case word
      {"tower", "tower.txt"},       // inside a longer word
      {"gate", "depot.txt"},        // first met in the comment
      {"", "depot.txt"},            // an empty type matches at the start
      {"depot.txt", "tower.txt"},   // the next objectscript after the match
      {"ghost", std::nullopt},
      {"orphan", std::nullopt},  // no objectscript after it
      {"file\nclass", std::nullopt},
  };
  for (const auto& c : cases) {
    const std::optional<std::string_view> name = FindScriptName(kConfig, c.type);
    EXPECT_EQ(c.name, name ? std::optional<std::string>(*name) : std::nullopt) << c.type;
  }
}

TEST(FindScriptName, ReadsTheNameFromOneLookAfterTheWord) {
  // The closing quote as the 255th character of the look, then one later.
  const std::string lead = " = \"" + std::string(237, ' ');
  const std::string at_limit = "t objectscript" + lead + "\\dir\\abcd.txt\"";
  const std::string past_limit = "t objectscript" + lead + " \\dir\\abcd.txt\"";
  ASSERT_EQ(255u, (lead + "\\dir\\abcd.txt\"").size());
  const struct {
    std::string config;
    std::optional<std::string> name;
  } cases[] = {
      {at_limit, "abcd.txt"},
      {past_limit, std::nullopt},
      {"t objectScript = \"\\a\\b.txt\";\r\nnext", "b.txt"},
      {"t objectScript = \"\\a\\b.txt\"; // c/d \"", "d "},  // the last separator counts
      {"t objectScript = \"\\a\\b.txt\"; // c/d", std::nullopt},
      {"t objectScript = \"b.txt\";", std::nullopt},   // no separator
      {"t objectScript = \\a\\b.txt;", std::nullopt},  // no quotation mark after it
      {"t objectScript = \"\\a\\\";", std::nullopt},   // an empty name
      {"t objectScript", std::nullopt},                // the file ends after the word
      {"t objectScript = \"\\a\\b.txt\"\n= \"\\c\\d.txt\"", "b.txt"},
      {"objectscript t", std::nullopt},  // the word must begin after the type
  };
  for (const auto& c : cases) {
    const std::optional<std::string_view> name = FindScriptName(c.config, "t");
    EXPECT_EQ(c.name, name ? std::optional<std::string>(*name) : std::nullopt)
        << c.config.substr(0, 60);
  }
}

// The lookup as a plain byte search, position by position.
std::optional<std::string> ReferenceLookup(const std::string& config, const std::string& type) {
  const auto fold = [](char c) { return FoldLetter(c); };
  const auto match = [&](std::size_t p, const std::string& text) {
    if (p + text.size() > config.size()) return false;
    for (std::size_t k = 0; k < text.size(); ++k) {
      if (fold(config[p + k]) != fold(text[k]) || config[p + k] == '\n') return false;
    }
    return text.empty() || !IsLineEndAt(config, p + text.size() - 1);
  };
  std::size_t p = 0;
  while (p <= config.size() && !match(p, type)) ++p;
  if (p > config.size()) return std::nullopt;
  p += type.size();
  while (p <= config.size() && !match(p, "objectscript")) ++p;
  if (p > config.size() || p + 12 >= config.size()) return std::nullopt;
  const std::string look(LookAt(config, p + 12));
  const std::size_t separator = look.find_last_of("\\/");
  if (separator == std::string::npos) return std::nullopt;
  const std::size_t quote = look.find('"', separator + 1);
  if (quote == std::string::npos || quote == separator + 1) return std::nullopt;
  return look.substr(separator + 1, quote - separator - 1);
}

TEST(ScriptNameFinder, ManyTypesInOnePassAgreeWithOneByOne) {
  // Pieces chosen so that types overlap, nest and repeat across lines.
  const std::vector<std::string> pieces = {"a",
                                           "b",
                                           "A",
                                           "B",
                                           "ab",
                                           "ba",
                                           "aab",
                                           "\n",
                                           "\r\n",
                                           " ",
                                           "objectScript = \"\\d\\",
                                           "x.txt\"",
                                           "/y.txt\"",
                                           "c"};
  const std::vector<std::string> types = {"a",   "b",   "ab",   "ba",    "aab", "abab", "AB",
                                          "bab", "aaa", "ab\r", "b\nA",  "",    "c",    "ca",
                                          "x",   "txt", "aba",  "bbbbb", "ccc", "a a"};
  std::mt19937 random(20240611);
  for (int round = 0; round < 300; ++round) {
    std::string config;
    const int length = static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) config += pieces[random() % pieces.size()];
    std::vector<std::string_view> views(types.begin(), types.end());
    const ScriptNameFinder finder(config, views);
    for (const std::string& type : types) {
      const std::optional<std::string_view> found = finder.Find(type);
      EXPECT_EQ(ReferenceLookup(config, type),
                found ? std::optional<std::string>(*found) : std::nullopt)
          << "type " << type << " in\n"
          << config;
    }
  }
}

}  // namespace
}  // namespace vexlar
