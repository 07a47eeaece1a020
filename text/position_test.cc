#include "text/position.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

namespace vexlar {

// Fields split at ','; the first drops '[', the others ']'. In the third a
// ',' is dropped (further numbers are glued to it) and a ']' ends the
// reading, where splitting drops it and reads on. Splitting reads all but
// the first and the last character.
TEST(Position, ParseAndSplitFields) {
  // The text, its numbers x y z, its fields first|second|third.
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"[100.50, 200, 5]", "100.5 200 5", "100.50| 200| 5"},
      {"[1,2]", "1 2 0", "1|2|0"},
      {"[5]", "5 0 0", "5|0|0"},
      {"", "0 0 0", "0|0|0"},
      {"[]", "0 0 0", "0|0|0"},
      {"[1,2,3,4]", "1 2 34", "1|2|34"},
      {"[1,2,3]4]", "1 2 3", "1|2|34"},
      {"[1,2]3,4]", "1 23 4", "1|23|4"},
      {"[[1,[2,[3]", "1 0 0", "1|[2|[3"},
      {"10,20,5", "10 20 5", "0|20|0"},
  };
  for (const auto& [text, numbers, split] : cases) {
    const Vec3 v = ParsePosition(text);
    std::ostringstream parsed;
    parsed << v.x << ' ' << v.y << ' ' << v.z;
    EXPECT_EQ(numbers, parsed.str()) << text;
    TextFields f;
    SplitPosition(text, &f);
    EXPECT_EQ(split, std::string(f.field[0]) + "|" + std::string(f.field[1]) + "|" +
                         std::string(f.field[2]))
        << text;
  }
}

}  // namespace vexlar
