#include "writer/position.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

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
    const PositionFields f = SplitPosition(c.text);
    EXPECT_EQ(c.split, f.first + "|" + f.second + "|" + f.third) << c.text;
  }
}

// POSITION is cut after its last ']'; a height other than 0 adds a setpos
// statement to INIT, or a new INIT argument at the end of the list.
TEST(Position, HeightRule) {
  const struct {
    const char* position;   // null: no POSITION argument
    const char* init;       // null: no INIT argument
    const char* arguments;  // afterwards
  } cases[] = {
      {"[100,200,5];", nullptr, "Position=[100,200,5] TYPE=Truck INIT=this setpos [100,200,5];"},
      {"[1,2,3]", "", "Position=[1,2,3] init=; this setpos [1,2,3]; TYPE=Truck"},
      {"[1,2,3]", "hint;", "Position=[1,2,3] init=hint;; this setpos [1,2,3]; TYPE=Truck"},
      {"[1,2,0]x]", nullptr, "Position=[1,2,0]x] TYPE=Truck"},
      {"[1,2,abc]", nullptr, "Position=[1,2,abc] TYPE=Truck"},
      {"[1,2,0,5]", nullptr, "Position=[1,2,0,5] TYPE=Truck INIT=this setpos [1,2,0,5];"},
      {"[1,2,0.5m]", nullptr, "Position=[1,2,0.5m] TYPE=Truck INIT=this setpos [1,2,0.5m];"},
      {"10,20,5", nullptr, "Position= TYPE=Truck"},
      {"]", nullptr, "Position= TYPE=Truck"},
      {nullptr, "", "init= TYPE=Truck"},
  };
  for (const auto& c : cases) {
    ObjectStore store;
    SourceObject object = store.NewSourceObject();
    if (c.position) AppendToList(object, {"Position", c.position});
    if (c.init) AppendToList(object, {"init", c.init});
    AppendToList(object, {"TYPE", "Truck"});
    ApplyHeightRule(object, &store);
    std::string arguments;
    for (const ObjectArgument& a : object.arguments) {
      arguments +=
          (arguments.empty() ? "" : " ") + std::string(a.name) + "=" + std::string(a.value);
    }
    EXPECT_EQ(c.arguments, arguments) << (c.position ? c.position : "no POSITION");
  }
}

}  // namespace
}  // namespace vexlar
