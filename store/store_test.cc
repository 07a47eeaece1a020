#include "store/store.h"

#include <gtest/gtest.h>

namespace vexlar {
namespace {

SourceObject& Add(ObjectStore& store, ObjectType type, std::int32_t number = 0) {
  SourceObject object = store.NewSourceObject();
  object.type = type;
  object.nameNumber = number;
  return store.AppendToList(std::move(object));
}

std::vector<std::uint32_t> DrawAll(ObjectStore& store, ObjectType type, VisitedIds* visited) {
  std::vector<std::uint32_t> ids;
  while (SourceObject* object = store.NextObjectOfType(type, visited)) ids.push_back(object->id);
  return ids;
}

TEST(ObjectStore, IdsFollowCreationOrder) {
  ObjectStore store;
  EXPECT_EQ(0u, store.NextObjectId());
  EXPECT_EQ(0u, Add(store, ObjectType::kCenter).id);
  EXPECT_EQ(1u, Add(store, ObjectType::kGroup).id);
  EXPECT_EQ(2u, store.NextObjectId());
  EXPECT_EQ(1u, store.object(1).id);
}

TEST(ObjectStore, EnumeratesEachObjectOfATypeOnceIdZeroIncluded) {
  ObjectStore store;
  VisitedIds visited;
  EXPECT_EQ(nullptr, store.NextObjectOfType(ObjectType::kGroup, &visited));

  // Id 0 is an enumerated type here: it must come out once, not forever.
  Add(store, ObjectType::kGroup);
  Add(store, ObjectType::kUnit);
  Add(store, ObjectType::kGroup);
  Add(store, ObjectType::kPrefix);
  Add(store, ObjectType::kUnknown);
  EXPECT_EQ((std::vector<std::uint32_t>{0, 2}), DrawAll(store, ObjectType::kGroup, &visited));
  EXPECT_EQ(nullptr, store.NextObjectOfType(ObjectType::kGroup, &visited));
  visited.Clear();
  EXPECT_EQ((std::vector<std::uint32_t>{0, 2}), DrawAll(store, ObjectType::kGroup, &visited));
  VisitedIds other;
  EXPECT_EQ(std::vector<std::uint32_t>{1}, DrawAll(store, ObjectType::kUnit, &other));
  VisitedIds unknown;
  EXPECT_TRUE(DrawAll(store, ObjectType::kUnknown, &unknown).empty());

  // Objects appended while an enumeration runs come out too.
  visited.Clear();
  ASSERT_NE(nullptr, store.NextObjectOfType(ObjectType::kGroup, &visited));
  Add(store, ObjectType::kGroup);
  EXPECT_EQ((std::vector<std::uint32_t>{2, 5}), DrawAll(store, ObjectType::kGroup, &visited));
}

TEST(ObjectStore, ArgumentLookupIgnoresCaseAndTakesTheFirst) {
  ObjectStore store;
  SourceObject& object = Add(store, ObjectType::kUnit);
  AppendToList(object, {"side", "WEST"});
  AppendToList(object, {"Position", "[1,2,3]"});
  AppendToList(object, {"SIDE", "EAST"});
  AppendToList(object, {"player", "true"});

  EXPECT_EQ("WEST", FindArgumentValue(object, "SIDE").value_or("-"));
  EXPECT_EQ("[1,2,3]", FindArgumentValue(object, "POSITION").value_or("-"));
  EXPECT_EQ("[1,2,3]", RequireArgumentValue(object, "position").value_or("-"));
  EXPECT_FALSE(FindArgumentValue(object, "TYPE").has_value());
  EXPECT_FALSE(RequireArgumentValue(object, "GROUP").has_value());
  EXPECT_EQ("true", FindPlayerArgument(object.arguments).value_or("-"));
  // Lookups leave the stored names as they were written.
  EXPECT_EQ("side", object.arguments[0].name);
  EXPECT_EQ("Position", object.arguments[1].name);

  FindArgument(object, "POSITION")->value = "[9]";
  EXPECT_EQ("[9]", FindArgumentValue(object, "POSITION").value_or("-"));
  SourceObject& bare = Add(store, ObjectType::kUnit);
  EXPECT_FALSE(FindArgumentValue(bare, "SIDE").has_value());
  EXPECT_FALSE(FindPlayerArgument(bare.arguments).has_value());
}

TEST(ObjectStore, NumberAfterUnderscore) {
  const struct {
    const char* text;
    std::int32_t number;
  } cases[] = {
      {"_group_12", 12},
      {"_group_3", 3},
      {"_center_0", 0},
      {"a_1_2", 2},
      {"_x_07", 7},
      {"_unit_5b", 5},
      {"_group_12_", 12},
      {"_99999999999", 2147483647},
      {"", kNoReferenceNumber},
      {"group", kNoReferenceNumber},
      {"_group_", kNoReferenceNumber},
      {"5_", kNoReferenceNumber},
  };
  for (const auto& c : cases) EXPECT_EQ(c.number, NumberAfterUnderscore(c.text)) << c.text;
  EXPECT_FALSE(NumberMatches(NumberAfterUnderscore("none"), kNoHeaderNumber));
  EXPECT_TRUE(NumberMatches(NumberAfterUnderscore("_group_0"), 0));
}

TEST(ObjectStore, KeptTextsOutliveTheirSource) {
  ObjectStore store;
  std::string_view kept;
  {
    std::string text = "this setpos [1,2,3];";
    kept = store.KeepText(text);
  }
  for (int i = 0; i < 1000; ++i) store.KeepText(std::string(40, 'x'));
  EXPECT_EQ("this setpos [1,2,3];", kept);
}

}  // namespace
}  // namespace vexlar
