#include "reader/reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "reader/quote_spans.h"

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
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

// QuoteSpans gives the answers of the rule followed literally on every look
// of up to 13 quotes and other characters, where no span may leave the look;
// on looks of 1023 characters full of quote runs, following the rule costs so
// many steps that ExtractValue hands over to QuoteSpans part way through: it
// and QuoteSpans still give the rule's answers.
TEST(Reader, QuoteShortcutsFollowTheRule) {
  for (std::size_t length = 0; length <= 13; ++length) {
    for (std::size_t bits = 0; bits < (std::size_t{1} << length); ++bits) {
      std::string look(length, 'x');
      for (std::size_t k = 0; k < length; ++k) look[k] = (bits >> k & 1) ? '"' : 'x';
      QuoteSpans spans(look);
      for (std::size_t a = 0; a < length; ++a) {
        for (std::size_t b = 1; look[a] == '"' && b <= 4; ++b) {
          const std::size_t span = QuoteRunSpan(look, a, b);
          ASSERT_EQ(span, spans.Span(a, b)) << look << " " << a << " " << b;
          ASSERT_LE(span, length - a) << look << " " << a << " " << b;
        }
      }
    }
  }
  std::mt19937 random(11);
  for (int trial = 0; trial < 80; ++trial) {
    const std::size_t longest_run = 1 + random() % 60;
    std::string look = "\"";
    while (look.size() < 1023) {
      look.append(1 + random() % longest_run, '"');
      look.append(random() % 3, trial % 2 == 0 ? 'x' : ' ');
    }
    look.resize(1023);
    QuoteSpans reused;
    const ExtractedValue expected = ExtractValue(look), got = ExtractValue(look, &reused);
    ASSERT_EQ(expected.value, got.value) << look;
    ASSERT_EQ(expected.count, got.count) << look;
    QuoteSpans spans(look);
    for (std::size_t a = 0; a < look.size(); a += 1 + random() % 16) {
      if (look[a] != '"') continue;
      ASSERT_EQ(QuoteRunSpan(look, a, 2), spans.Span(a, 2)) << trial << " " << a;
    }
  }
}

// Whole files, read with LF and with CR LF line ends: argument lines, object
// headers, and files that end at each step of an object.
TEST(Reader, ObjectsAndArgumentsInFileOrder) {
  const std::string unit = "class _unit_1\n objectType=\"unit\"";
  const auto in_unit = [&unit](const std::string& line) {
    return unit + ";\n Arguments\n {\n" + line + "\n };\n";
  };
  const struct {
    std::string text;
    std::string store;
  } cases[] = {
      {in_unit("\tPOSITION = \"[1,2,3]\";"), "0 unit unit 1 POSITION=\"[1,2,3]\"\n"},
      {in_unit("\tTEXT=\"\";"), "0 unit unit 1 TEXT=\"\"\n"},
      // Doubled-quote sections stay in the value; a quote that starts none closes it.
      {in_unit("\tINIT=\"hint \"\"Hi\"\";\";"), "0 unit unit 1 INIT=\"hint \"\"Hi\"\";\"\n"},
      {in_unit("\tA=\"a \"\"\"\" b\";"), "0 unit unit 1 A=\"a \"\"\"\" b\"\n"},
      {in_unit("\tA=\"x\"y \"\"\"\"z\"\"\"\"; B=\"2\";"), "0 unit unit 1 A=\"x\" B=\"2\"\n"},
      {in_unit("\tA=\"x\"; // \"\"y\"\""), "0 unit unit 1 A=\"x\"; // \"\"y\"\n"},
      {in_unit("\tA=\"1\"; B=\"2\";"), "0 unit unit 1 A=\"1\" B=\"2\"\n"},
      {in_unit("  name=\"x\";"), "0 unit unit 1 name=\"x\"\n"},
      {in_unit("\tTEXT=\"open"), "0 unit unit 1 TEXT=\"open\n\"\n"},  // the line end is kept
      {in_unit("NAME=\"x\";"), "0 unit unit 1\n"},  // a name at the start of a line is not seen
      {in_unit("\tNAME \"x\";"), "0 unit unit 1\n"},
      {in_unit("\tNAME=x;"), "0 unit unit 1\n"},
      {in_unit("\t_NAME=\"x\";"), "0 unit unit 1\n"},  // a name starts with a letter
      {in_unit("\tINIT=\"" + std::string(600, 'x') + "\";"),
       "0 unit unit 1 INIT=\"" + std::string(600, 'x') + "\"\n"},
      {"junk\nclass _group_3\n{\n objectType=\"group\";\n class Arguments\n {\n  SIDE=\"WEST\";\n "
       "};\n};\nbetween\nclass _unit_12\n{\n objectType=\"unit\";\n class Arguments\n {\n };\n};\n",
       "0 group group 3 SIDE=\"WEST\"\n1 unit unit 12\n"},
      {"class\t_marker_2\n objectType=\"marker\"; Arguments { A=\"1\"; }\n",
       "0 marker marker 2 A=\"1\"\n"},
      // A line end between "class" and the underscore makes no header.
      {"class\n_marker_2\n objectType=\"marker\"; Arguments { }\n" + in_unit(""),
       "0 unit unit 1\n"},
      {"class _unit_1\n objectType=\"Unit\"; Arguments { }\n", "0 ? unit 1\n"},
      {"class _x_1 objectType=\"objectComposition\";\n", "0 objectComposition x 1\n"},
      // A brace at the start of a line does not end the block.
      {unit + "; Arguments {\n A=\"1\";\n}\n B=\"2\";\n };\n", "0 unit unit 1 A=\"1\" B=\"2\"\n"},
      // An object without Arguments takes the next object's block.
      {unit + ";\nclass _unit_2\n objectType=\"unit\"; Arguments { A=\"1\"; }\n" + in_unit(""),
       "0 unit unit 1 A=\"1\"\n1 unit unit 1\n"},
      {"subclass _intel_4 objectType=\"intel\"; Arguments { }\n", "0 intel intel 4\n"},
      {"class _unit_a5\n objectType=\"unit\";\n", "0 unit unit -1\n"},
      {"class _unit_99999999999\n", "0 ? unit 2147483647\n"},
      {"class __7\n objectType=\"center\";\n", "0 center  7\n"},
      // A name without its second underscore is skipped.
      {"class _unit\n objectType=\"unit\";\nclass _group_1 objectType=\"group\";\n",
       "0 group group 1\n"},
      {"class _unit", ""},
      {"class _unit_1 ", ""},  // the number's look reaches the end: abandoned
      {"class _unit_1\n", "0 ? unit 1\n"},
      {"class _unit_1\n objectType=\"unit", "0 ? unit 1\n"},
      {unit + " Arguments {", "0 unit unit 1\n"},
      // The keyword's look reaches the end of the file: no arguments are read.
      {unit + " Arguments { A=\"1\"; }", "0 unit unit 1\n"},
      {unit + "\n Arguments { A=\"1", "0 unit unit 1 A=\"1\"\n"},
      {unit + " Arguments { } class _unit_2", "0 unit unit 1\n"},
      // A last line without a line end: every argument on it is read, an
      // unclosed value runs to the end of its look.
      {unit + " Arguments {\n\tNAME=\"-0.052\"; PLACEMENT=\"0.5",
       "0 unit unit 1 NAME=\"-0.052\" PLACEMENT=\"0.5\"\n"},
      {"class _marker_1 { objectType=\"marker\"; class Arguments { TEXT=\"" + std::string(40, 'x') +
           "\"; NAME=\"y\"; };};",
       "0 marker marker 1 TEXT=\"" + std::string(40, 'x') + "\" NAME=\"y\"\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.store, Read(c.text)) << c.text;
    EXPECT_EQ(c.store, Read(WithCrLf(c.text))) << c.text << " (CR LF)";
  }
}

}  // namespace
}  // namespace vexlar
