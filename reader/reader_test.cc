#include "reader/reader.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/table_cases.h"

namespace vexlar {
namespace {

// The store's debug form after reading `text`, which must not change when
// its line ends are CR LF.
std::string Read(const std::string& text) {
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ObjectStore store, crlf_store;
  ReadSourceFile(text, &store);
  ReadSourceFile(crlf, &crlf_store);
  EXPECT_EQ(store.DebugString(), crlf_store.DebugString()) << text << " (CR LF)";
  return store.DebugString();
}

// Argument lines in the Arguments block of one unit: the value ends at the
// first quote that starts no doubled-quote section, or with the line; a name
// counts after a blank, starts with a letter and needs an equals sign.
TEST(Reader, ArgumentLines) {
  test::RunTableCases("reader/reader_argument_cases.txt", [](const auto& in) {
    return Read("class _unit_1\n objectType=\"unit\";\n Arguments\n {\n" + in.at(0) + "\n };\n");
  });
}

// Whole files: object headers, blocks, and files that end at each step of
// an object.
TEST(Reader, ObjectsInFileOrder) {
  test::RunTableCases("reader/reader_cases.txt", [](const auto& in) { return Read(in.at(0)); });
}

}  // namespace
}  // namespace vexlar
