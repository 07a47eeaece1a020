#include "reader/reader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace vexlar {
namespace {

// The store's debug form after reading `text`, which must not change when
// its line ends are CR LF.
std::string Read(const std::string& text) {
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ObjectStore store, crlf_store;
  ReadSourceText(text, &store);
  ReadSourceText(crlf, &crlf_store);
  EXPECT_EQ(store.DebugString(), crlf_store.DebugString()) << text << " (CR LF)";
  return store.DebugString();
}

// Argument lines in the Arguments block of one unit: the value ends at the
// first quote that starts no doubled-quote section, or with the line; a name
// counts after a blank, starts with a letter and needs an equals sign.
TEST(Reader, ArgumentLines) {
  const std::string x1021(1021, 'x'), x1022(1022, 'x');
  const std::pair<std::string, std::string> cases[] = {
      {R"( A="x"y """"z""""; B="2";)", R"( A="x" B="2")"},
      {R"( A="p q=r";)", R"( A="p q=r")"},
      {R"( A="1"; Z="2"; a="3"; z="4";)", R"( A="1" Z="2" a="3" z="4")"},
      {R"( NAME "x";)", ""},
      {R"( NAME=x;)", ""},
      {R"( _NAME="x";)", ""},
      // The name and the equals sign in a look of 63, the value in one of 1023
      // (its line end kept, a CR LF as "\n").
      {" " + std::string(63, 'N') + "=\"1\";", ""},
      {" INIT=\"" + x1022 + "x\";", " INIT=\"" + x1022 + "\""},
      {" INIT=\"" + x1021, " INIT=\"" + x1021 + "\n\""},
  };
  for (const auto& [line, arguments] : cases) {
    EXPECT_EQ("0 unit unit 1" + arguments + "\n",
              Read("class _unit_1\n objectType=\"unit\";\n Arguments\n {\n" + line + "\n };\n"))
        << line;
  }
}

// Whole files: object headers, blocks, and files that end at each step of
// an object.
TEST(Reader, ObjectsInFileOrder) {
  const std::string unit = "class _unit_1\n objectType=\"unit\"";
  const std::pair<std::string, std::string> cases[] = {
      {"junk\nclass _group_3\n{\n objectType=\"group\";\n class Arguments\n {\n  SIDE=\"WEST\";\n "
       "};\n};\nbetween\nclass _unit_12\n{\n objectType=\"unit\";\n class Arguments\n {\n };\n};\n",
       "0 group group 3 SIDE=\"WEST\"\n1 unit unit 12\n"},
      {"class\t_marker_2\n objectType=\"marker\"; Arguments{ A=\"1\"; }\n",
       "0 marker marker 2 A=\"1\"\n"},
      // A line end between "class" and the underscore makes no header.
      {"class\n_marker_2\n objectType=\"marker\"; Arguments { }\n" + unit + "; Arguments { }\n",
       "0 unit unit 1\n"},
      {"class _unit_1\n objectType=\"Unit\"; Arguments { }\n", "0 ? unit 1\n"},
      {"class _x_1 objectType=\"objectComposition\";\n", "0 objectComposition x 1\n"},
      // A brace at the start of a line does not end the block.
      {unit + "; Arguments {\n A=\"1\";\n}\n B=\"2\";\n };\n", "0 unit unit 1 A=\"1\" B=\"2\"\n"},
      // An object without Arguments takes the next object's block.
      {unit + ";\nclass _unit_2\n objectType=\"unit\"; Arguments { A=\"1\"; }\n" + unit +
           "; Arguments { }\n",
       "0 unit unit 1 A=\"1\"\n1 unit unit 1\n"},
      {"subclass _intel_4 objectType=\"intel\"; Arguments { }\n", "0 intel intel 4\n"},
      {"class _unit_a5\n objectType=\"unit\";\n", "0 unit unit -1\n"},
      {"class _unit_99999999999\n", "0 ? unit 2147483647\n"},
      // The number and the blank after it in a look of 63.
      {"class _u_" + std::string(62, '1') + " x\n", "0 ? u -1\n"},
      {"class __7\n objectType=\"center\";\n", "0 center  7\n"},
      // A name without its second underscore in a look of 63 is skipped.
      {"class _" + std::string(62, 'n') + "_1\n", "0 ? " + std::string(62, 'n') + " 1\n"},
      {"class _" + std::string(63, 'n') + "_1\n", ""},
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
  for (const auto& [text, store] : cases) EXPECT_EQ(store, Read(text)) << text;
}

}  // namespace
}  // namespace vexlar
