#include "reader/reader.h"

#include <gtest/gtest.h>

#include <string>

namespace vexlar {
namespace {

// Reads `text` and returns the store's debug form.
std::string Read(const std::string& text) {
  ObjectStore store;
  ReadSourceText(store.KeepText(text), &store);
  return store.DebugString();
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

TEST(Reader, ExtractValueExamples) {
  const struct {
    const char* look;
    const char* value;
    std::size_t count;
  } cases[] = {
      {"\"abc\";\n", "abc", 5},
      {"\"\";\n", "", 2},
      {"\"say \"\"hi\"\" now\";\n", "say \"\"hi\"\" now", 16},
      {"\"[\"\"a\"\",\"\"b\"\"]\";\n", "[\"\"a\"\",\"\"b\"\"]", 15},
      {"\"a \"\"\"\" b\";\n", "a \"\"\"\" b", 10},
      {"\"x\"y \"\"\"\"z\"\"\"\";\n", "x", 3},
      {"\"abc\"; // \"\"x\"\"\n", "abc\"; // \"\"x", 14},
      {" \"abc\";", "abc", 6},
      // No closing quote: the value runs to the end of the look.
      {"\"abc\n", "abc\n", 6},
  };
  for (const auto& c : cases) {
    const ExtractedValue got = ExtractValue(c.look);
    EXPECT_EQ(c.value, got.value) << c.look;
    EXPECT_EQ(c.count, got.count) << c.look;
  }
  EXPECT_EQ(0u, ExtractValue("no quote;\n").count);
}

TEST(Reader, QuoteRunSpanStaysInsideTheLook) {
  // Deeply nested runs: each level doubles the run; none may read past the end.
  for (std::size_t n = 1; n < 200; ++n) {
    const std::string look(n, '"');
    for (std::size_t a = 0; a < n; ++a) EXPECT_LE(QuoteRunSpan(look, a, 2), n - a) << n << " " << a;
  }
}

TEST(Reader, ArgumentLineForms) {
  const struct {
    const char* line;
    const char* arguments;
  } cases[] = {
      {"\tPOSITION=\"[1,2,3]\";", " POSITION=\"[1,2,3]\""},
      {"\tPOSITION = \"[1,2,3]\";", " POSITION=\"[1,2,3]\""},
      {"\tTEXT=\"\";", " TEXT=\"\""},
      {"\tINIT=\"hint \"\"Hello\"\";\";", " INIT=\"hint \"\"Hello\"\";\""},
      {"\tA=\"1\"; B=\"2\";", " A=\"1\" B=\"2\""},
      {"  name=\"x\";", " name=\"x\""},
      // A name at the very start of a line is not seen.
      {"NAME=\"x\";", ""},
      // No equals sign, or no quote after it: no argument.
      {"\tNAME \"x\";", ""},
      {"\tNAME=x;", ""},
      // A name must start with a letter.
      {"\t_NAME=\"x\";", ""},
  };
  for (const auto& c : cases) {
    const std::string text = std::string("class _unit_1\n{\n\tobjectType=\"unit\";\n") +
                             "\tclass Arguments\n\t{\n" + c.line + "\n\t};\n};\n";
    const std::string expected = std::string("0 unit unit 1") + c.arguments + "\n";
    EXPECT_EQ(expected, Read(text)) << c.line;
    EXPECT_EQ(expected, Read(WithCrLf(text))) << c.line;
  }
}

TEST(Reader, Objects) {
  const struct {
    const char* what;
    std::string text;
    const char* store;
  } cases[] = {
      {"empty file", "", ""},
      {"no class word", "version=12;\n{ objectType=\"unit\"; }\n", ""},
      {"two objects in file order",
       "junk\nclass _group_3\n{\n objectType=\"group\";\n class Arguments\n {\n  SIDE=\"WEST\";\n "
       "};\n};\n"
       "between\nclass _unit_12\n{\n objectType=\"unit\";\n class Arguments\n {\n };\n};\n",
       "0 group group 3 SIDE=\"WEST\"\n1 unit unit 12\n"},
      {"tab after class", "class\t_marker_2\n objectType=\"marker\"; Arguments { A=\"1\"; }\n",
       "0 marker marker 2 A=\"1\"\n"},
      {"line end between class and underscore is no header",
       "class\n_marker_2\n objectType=\"marker\"; Arguments { }\nclass _unit_5\n "
       "objectType=\"unit\"; "
       "Arguments { }\n",
       "0 unit unit 5\n"},
      {"keyword case matters", "class _unit_1\n objectType=\"Unit\"; Arguments { }\n",
       "0 ? unit 1\n"},
      {"closing brace at line start does not end the block",
       "class _unit_1\n objectType=\"unit\"; Arguments {\n A=\"1\";\n}\n B=\"2\";\n };\n",
       "0 unit unit 1 A=\"1\" B=\"2\"\n"},
      {"object without Arguments takes the next block",
       "class _unit_1\n objectType=\"unit\";\nclass _unit_2\n objectType=\"unit\"; Arguments { "
       "A=\"1\"; }\nclass _unit_3\n objectType=\"unit\"; Arguments { }\n",
       "0 unit unit 1 A=\"1\"\n1 unit unit 3\n"},
      {"word class inside another word", "subclass _intel_4 objectType=\"intel\"; Arguments { }\n",
       "0 intel intel 4\n"},
      {"header without number", "class _unit_x\n objectType=\"unit\"; Arguments { }\n",
       "0 unit unit -1\n"},
      {"letters before the number", "class _unit_a5\n objectType=\"unit\"; Arguments { }\n",
       "0 unit unit -1\n"},
      {"empty name", "class __7\n objectType=\"center\"; Arguments { }\n", "0 center  7\n"},
      {"name without second underscore is skipped",
       "class _unit\n objectType=\"unit\"; Arguments { }\nclass _group_1 objectType=\"group\"; "
       "Arguments { }\n",
       "0 group group 1\n"},
      {"value longer than 255 characters is kept whole",
       "class _unit_1\n objectType=\"unit\"; Arguments {\n INIT=\"" + std::string(600, 'x') +
           "\";\n }\n",
       nullptr},
  };
  for (const auto& c : cases) {
    if (c.store == nullptr) continue;
    EXPECT_EQ(c.store, Read(c.text)) << c.what;
    EXPECT_EQ(c.store, Read(WithCrLf(c.text))) << c.what << " (CR LF)";
  }
  EXPECT_EQ("0 unit unit 1 INIT=\"" + std::string(600, 'x') + "\"\n", Read(cases[13].text));
}

TEST(Reader, EndOfFileAtEachStep) {
  const struct {
    const char* text;
    const char* store;
  } cases[] = {
      {"class", ""},
      {"class _unit", ""},
      {"class _unit_1", ""},   // the number's look reaches the end: abandoned
      {"class _unit_1 ", ""},  // likewise, with the blank
      {"class _unit_1\n", "0 ? unit 1\n"},
      {"class _unit_1\n objectT", "0 ? unit 1\n"},
      {"class _unit_1\n objectType=", "0 ? unit 1\n"},
      {"class _unit_1\n objectType=\"unit", "0 ? unit 1\n"},
      {"class _unit_1\n objectType=\"unit\" Argu", "0 unit unit 1\n"},
      {"class _unit_1\n objectType=\"unit\" Arguments", "0 unit unit 1\n"},
      {"class _unit_1\n objectType=\"unit\" Arguments {", "0 unit unit 1\n"},
      // The keyword's look reaches the end of the file: no arguments are read.
      {"class _unit_1\n objectType=\"unit\" Arguments { A=\"1\"; }", "0 unit unit 1\n"},
      {"class _unit_1\n objectType=\"unit\"\n Arguments { A=\"1\";", "0 unit unit 1 A=\"1\"\n"},
      {"class _unit_1\n objectType=\"unit\"\n Arguments { A=\"1", "0 unit unit 1 A=\"1\"\n"},
      {"class _unit_1\n objectType=\"unit\"\n Arguments { A=\"1\"; }", "0 unit unit 1 A=\"1\"\n"},
      {"class _unit_1\n objectType=\"unit\" Arguments { } class _unit_2", "0 unit unit 1\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.store, Read(c.text)) << c.text;
}

TEST(Reader, UnreadableFileIsReported) {
  ObjectStore store;
  std::FILE* console = std::tmpfile();
  ASSERT_NE(nullptr, console);
  const std::string folder = testing::TempDir();
  RunLog log(folder + "reader_test.log", console);
  EXPECT_FALSE(ReadSourceFile(folder + "no-such-mission.kolvo", &store, &log));
  EXPECT_FALSE(ReadSourceFile(folder, &store, &log));  // a folder is no file
  std::rewind(console);
  char buffer[256] = {};
  const std::size_t got = std::fread(buffer, 1, sizeof buffer - 1, console);
  EXPECT_EQ("CKOLVO: Cannot open file!\n\nCKOLVO: Cannot open file!\n\n", std::string(buffer, got));
  EXPECT_EQ(0u, store.NextObjectId());
  std::fclose(console);
}

}  // namespace
}  // namespace vexlar
