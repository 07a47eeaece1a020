#include "text/position.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "text/decimal.h"

namespace vexlar {
namespace {

TEST(Position, ParseDecimalTakesOnlyTheLeadingDecimalNumber) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"  -3.5", -3.5}, {"+.5", 0.5}, {"5.", 5},  {"5m", 5},   {"2E-2", 0.02},
      {"1e", 1},        {"1e+", 1},   {"abc", 0}, {".", 0},    {"-", 0},
      {"0x10", 0},      {"inf", 0},   {"nan", 0}, {"\t7]", 7}, {"1.5.2", 1.5},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value, ParseDecimal(c.text)) << c.text;
}

// Fields split at ','; the first drops '[', the others ']'. In the third a
// ',' is dropped (further numbers are glued to it) and a ']' ends the
// reading, where splitting drops it and reads on.
TEST(Position, ParseAndSplitFields) {
  const struct {
    const char* text;
    const char* parsed;  // x y z
    const char* split;   // first|second|third
  } cases[] = {
      {"[100.50, 200, 5]", "100.5 200 5", "100.50| 200| 5"},
      {"[1,2]", "1 2 0", "1|2|0"},
      {"", "0 0 0", "0|0|0"},
      {"[]", "0 0 0", "0|0|0"},
      {"[1,2,3,4]", "1 2 34", "1|2|34"},
      {"[1,2,3]4]", "1 2 3", "1|2|34"},
      {"[1,2]3,4]", "1 23 4", "1|23|4"},
      {"[[1,[2,[3]", "1 0 0", "1|[2|[3"},
      {"10,20,5", "10 20 5", "0|20|0"},
  };
  for (const auto& c : cases) {
    const Vec3 v = ParsePosition(c.text);
    std::ostringstream parsed;
    parsed << v.x << ' ' << v.y << ' ' << v.z;
    EXPECT_EQ(c.parsed, parsed.str()) << c.text;
    TextFields f;
    SplitPosition(c.text, &f);
    EXPECT_EQ(c.split, std::string(f.field[0]) + "|" + std::string(f.field[1]) + "|" +
                           std::string(f.field[2]))
        << c.text;
  }
}

}  // namespace
}  // namespace vexlar
