#include "writer/text_writer.h"

#include <gtest/gtest.h>

#include <cstdio>

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

}  // namespace
}  // namespace vexlar
