#include "writer/text_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vexlar {
namespace {

// The last case's value is an empty view that points nowhere, as the side
// of a group without a centre is.
TEST(TextWriter, FormatReplacesOnlyPlaceholdersOfTheFormat) {
  const struct {
    const char* format;
    std::initializer_list<std::string_view> values;
    const char* expected;
  } cases[] = {
      {"a=%s;\n", {"100%"}, "a=100%;\n"},
      {"a=%s;\n", {"%s%d"}, "a=%s%d;\n"},
      {"{%s,%s,%s}", {"1", "3", "2"}, "{1,3,2}"},
      {"%s%s", {"x"}, "x"},
      {"50% %d", {"unused"}, "50% %d"},
      {"", {}, ""},
      {"side=\"%s\";", {std::string_view()}, "side=\"\";"},
  };
  for (const auto& c : cases) {
    TextWriter out;
    out.WriteFormat(c.format, c.values);
    EXPECT_EQ(c.expected, out.pending()) << c.format;
  }
}

TEST(TextWriter, FileGetsEverythingInOrderAndAFailureSticks) {
  std::FILE* file = std::tmpfile();
  ASSERT_NE(nullptr, file);
  std::string expected;
  {
    TextWriter out(file);
    for (std::uint32_t i = 0; expected.size() < 3 * TextWriter::kFlushThreshold; ++i) {
      out.Write("line ");
      out.WriteNumber(i);
      out.Write("\n");
      expected += "line " + std::to_string(i) + "\n";
    }
    EXPECT_LT(out.pending().size(), TextWriter::kFlushThreshold);
    EXPECT_TRUE(out.Flush());
    EXPECT_TRUE(out.pending().empty());
  }
  std::rewind(file);
  std::string read(expected.size() + 1, '\0');
  read.resize(std::fread(&read[0], 1, read.size(), file));
  EXPECT_EQ(expected, read);

  // A stream opened for reading refuses every write.
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "vexlar_text_writer_read_only.txt";
  std::fclose(std::fopen(path.string().c_str(), "w"));
  std::FILE* reading = std::fopen(path.string().c_str(), "r");
  ASSERT_NE(nullptr, reading);
  TextWriter out(reading);
  out.Write("lost");
  EXPECT_FALSE(out.Flush());
  out.Write("more");
  EXPECT_FALSE(out.Flush());
  EXPECT_FALSE(out.ok());
  std::fclose(reading);
  std::fclose(file);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace vexlar
