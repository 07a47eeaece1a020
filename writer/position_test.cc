#include "writer/position.h"

#include <gtest/gtest.h>

namespace vexlar {
namespace {

TEST(Position, ParseDecimalTakesOnlyTheLeadingDecimalNumber) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"12", 12},    {"  -3.5", -3.5}, {"+.5", 0.5}, {"5.", 5},    {"5m", 5},
      {"1e3", 1000}, {"2E-2", 0.02},   {"1e", 1},    {"1e+", 1},   {"abc", 0},
      {"", 0},       {".", 0},         {"-", 0},     {"0x10", 0},  {"inf", 0},
      {"nan", 0},    {"-0", 0},        {"\t7]", 7},  {"0.000", 0}, {"1.5.2", 1.5},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value, ParseDecimal(c.text)) << c.text;
}

TEST(Position, ParsePosition) {
  const struct {
    const char* text;
    double x, y, z;
  } cases[] = {
      {"[100.5,200,12]", 100.5, 200, 12},
      {"[1, 2, 3]", 1, 2, 3},
      {"[1,2]", 1, 2, 0},
      {"[5]", 5, 0, 0},
      {"", 0, 0, 0},
      {"[1,2,3,4]", 1, 2, 34},
      {"[1,2,3]junk", 1, 2, 3},
      {"[1,2,3]4", 1, 2, 3},
      {"[1,2]3,4]", 1, 23, 4},
      {"10,20,5", 10, 20, 5},
  };
  for (const auto& c : cases) {
    const Vec3 v = ParsePosition(c.text);
    EXPECT_EQ(c.x, v.x) << c.text;
    EXPECT_EQ(c.y, v.y) << c.text;
    EXPECT_EQ(c.z, v.z) << c.text;
  }
}

TEST(Position, SplitPositionCopiesFieldsAsWritten) {
  const struct {
    const char* value;
    const char* first;
    const char* second;
    const char* third;
  } cases[] = {
      {"[100,200,5]", "100", "200", "5"},
      {"[100.50, 200, 5]", "100.50", " 200", " 5"},
      {"[1,2]", "1", "2", "0"},
      {"[5]", "5", "0", "0"},
      {"[1,2,3,4]", "1", "2", "34"},
      {"", "0", "0", "0"},
      {"[]", "0", "0", "0"},
      {"[1,2,3];", "1", "2", "3"},
      {"[[1,[2,[3]", "1", "[2", "[3"},
  };
  for (const auto& c : cases) {
    const PositionFields f = SplitPosition(c.value);
    EXPECT_EQ(c.first, f.first) << c.value;
    EXPECT_EQ(c.second, f.second) << c.value;
    EXPECT_EQ(c.third, f.third) << c.value;
  }
}

TEST(Position, HeightRule) {
  const struct {
    const char* position;
    const char* init;  // null: no INIT argument
    const char* cut_position;
    const char* final_init;  // null: still no INIT argument
    bool init_appended;
  } cases[] = {
      {"[100,200,5]", nullptr, "[100,200,5]", "this setpos [100,200,5];", true},
      {"[100,200,5]", "this allowDamage false", "[100,200,5]",
       "this allowDamage false; this setpos [100,200,5];", false},
      {"[100,200,5]", "", "[100,200,5]", "; this setpos [100,200,5];", false},
      {"[1,2,3]", "hint;", "[1,2,3]", "hint;; this setpos [1,2,3];", false},
      {"[100,200,0]", nullptr, "[100,200,0]", nullptr, false},
      {"[100,200,5];", nullptr, "[100,200,5]", "this setpos [100,200,5];", true},
      {"[10,20,0.000]", nullptr, "[10,20,0.000]", nullptr, false},
      {"[10,20,-0]", nullptr, "[10,20,-0]", nullptr, false},
      {"[10,20,abc]", nullptr, "[10,20,abc]", nullptr, false},
      {"[10,20,5m]", nullptr, "[10,20,5m]", "this setpos [10,20,5m];", true},
      {"[10,20,0.5]", nullptr, "[10,20,0.5]", "this setpos [10,20,0.5];", true},
      {"10,20,5", nullptr, "", nullptr, false},
      {"]", nullptr, "", nullptr, false},
  };
  for (const auto& c : cases) {
    ObjectStore store;
    SourceObject object = store.NewSourceObject();
    AppendToList(object, {"Position", c.position});
    if (c.init) AppendToList(object, {"init", c.init});
    AppendToList(object, {"TYPE", "Truck"});
    ApplyHeightRule(object, &store);
    EXPECT_EQ(c.cut_position, FindArgumentValue(object, "POSITION").value_or("-")) << c.position;
    const std::optional<std::string_view> init = FindArgumentValue(object, "INIT");
    EXPECT_EQ(c.final_init != nullptr, init.has_value()) << c.position;
    if (c.final_init && init) {
      EXPECT_EQ(c.final_init, *init) << c.position;
    }
    EXPECT_EQ(c.init_appended, object.arguments.back().name == "INIT") << c.position;
  }
}

TEST(Position, HeightRuleAppliedTwiceAddsASecondStatement) {
  ObjectStore store;
  SourceObject object = store.NewSourceObject();
  AppendToList(object, {"POSITION", "[1,2,3]"});
  ApplyHeightRule(object, &store);
  ApplyHeightRule(object, &store);
  EXPECT_EQ("this setpos [1,2,3];; this setpos [1,2,3];",
            FindArgumentValue(object, "INIT").value());
  ASSERT_EQ(2u, object.arguments.size());

  SourceObject bare = store.NewSourceObject();
  ApplyHeightRule(bare, &store);
  EXPECT_TRUE(bare.arguments.empty());
}

}  // namespace
}  // namespace vexlar
