#include "writer/text_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/test_util.h"

namespace vexlar {
namespace {

// A failed hand-over to the file shows in Flush and ok(); the mission writer
// then keeps the old mission.pld.
TEST(TextWriter, AFailedHandOverIsReported) {
  test::TempFolder folder;
  test::WriteFile(folder.Path("out.txt"), "");
  std::FILE* reading = std::fopen(folder.Path("out.txt").c_str(), "r");  // refuses writes
  ASSERT_NE(nullptr, reading);
  TextWriter out(reading);
  out.Write("lost");
  EXPECT_FALSE(out.Flush());
  EXPECT_FALSE(out.ok());
  std::fclose(reading);
}

// Text of several write-back thresholds reaches the file whole and in order,
// the hand-overs to the system along the way included.
TEST(TextWriter, ALargeTextArrivesWhole) {
  test::TempFolder folder;
  std::string expected;
  std::FILE* file = std::fopen(folder.Path("out.txt").c_str(), "wb");
  ASSERT_NE(nullptr, file);
  {
    TextWriter out(file);
    for (std::uint32_t line = 0; expected.size() < 3 * TextWriter::kWriteBackThreshold; ++line) {
      out.Write("line ");
      out.WriteNumber(line);
      out.Write("\n");
      expected += "line " + std::to_string(line) + "\n";
    }
    EXPECT_TRUE(out.Flush());
  }
  ASSERT_EQ(0, std::fclose(file));
  EXPECT_TRUE(test::ReadFile(folder.Path("out.txt")) == expected);
}

}  // namespace
}  // namespace vexlar
