#include "text/position.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/table_cases.h"

namespace vexlar {

// Fields split at ','; the first drops '[', the others ']'. In the third a
// ',' is dropped (further numbers are glued to it) and a ']' ends the
// reading, where splitting drops it and reads on. Splitting reads all but
// the first and the last character.
TEST(Position, ParseAndSplitFields) {
  // The numbers x y z, a line end, and the fields first|second|third.
  test::RunTableCases("text/position_cases.txt", [](const auto& in) {
    const Vec3 v = ParsePosition(in.at(0));
    TextFields f;
    SplitPosition(in.at(0), &f);
    std::ostringstream out;
    out << v.x << ' ' << v.y << ' ' << v.z << '\n'
        << f.field[0] << '|' << f.field[1] << '|' << f.field[2];
    return out.str();
  });
}

}  // namespace vexlar
