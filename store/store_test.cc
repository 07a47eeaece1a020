#include "store/store.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>

#include "store/packed_arguments.h"
#include "tests/table_cases.h"

namespace vexlar {
namespace {

// Whether `got` is the very text `want`: the same bytes in the same place.
bool Same(std::string_view want, std::string_view got) {
  return want.size() == got.size() && (want.empty() || want.data() == got.data());
}

bool Same(const ObjectArgument& want, const ObjectArgument& got) {
  return Same(want.name, got.name) && Same(want.value, got.value);
}

}  // namespace

TEST(ObjectStore, NumberAfterTheRightmostUnderscoreBeforeADigit) {
  test::RunTableCases("store/number_after_underscore_cases.txt", [](const auto& in) {
    return std::to_string(NumberAfterUnderscore(in.at(0)));
  });
}

// Every argument comes back as the very views it was stored with, whether
// it is packed (name="value" in the source, within the field sizes) or kept
// whole; a list that must move to grow keeps its arguments.
TEST(ObjectStore, ArgumentsComeBackAsStored) {
  const std::string source =
      "N=\"v\" A = \"x\" " + std::string(64, 'n') + "=\"" + std::string(1100, 'v') + "\" E=\"\"";
  const std::string_view text = source;
  const std::size_t long_name = text.find('n'), long_value = text.find("vvv");
  const std::size_t last = text.size() - 1;
  const struct {
    ObjectArgument argument;
    bool packed;
  } cases[] = {
      {{text.substr(0, 1), text.substr(3, 1)}, true},
      {{text.substr(7, 1), text.substr(12, 1)}, false},  // a gap other than ="
      {{text.substr(long_name + 1, kLongestPackedName),
        text.substr(long_value, kLongestPackedValue)},
       true},
      {{text.substr(long_name, 64), text.substr(long_value, 10)}, false},
      {{text.substr(long_name + 63, 1), text.substr(long_value, 1024)}, false},
      {{text.substr(last - 3, 1), text.substr(last, 0)}, true},  // empty value
      {{text.substr(last - 3, 1), text.substr(last, 1)}, true},  // up to the source's end
      {{text.substr(last - 3, 1), std::string_view(text.data() + last, 2)}, false},  // past it
      {{text.substr(3, 1), text.substr(0, 1)}, false},  // value before name
      {{"INIT", "this setpos [1,2,3];"}, false},
      {{text.substr(0, 1), std::string_view()}, false},  // no value text at all
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    ArgumentTexts texts{text, {}};
    Pack(cases[i].argument, &texts);
    EXPECT_EQ(cases[i].packed, texts.loose.empty()) << i;
  }
  ObjectStore store;
  store.SetSource(text);
  SourceObject first = store.NewSourceObject();
  for (const auto& c : cases) store.AppendArgument(first, c.argument);
  SourceObject& listed = store.AppendToList(first);
  SourceObject second = store.NewSourceObject();
  store.AppendArgument(second, cases[0].argument);
  store.AppendToList(second);
  store.AppendArgument(listed, cases[1].argument);  // moves the list past the second one's
  std::size_t i = 0;
  for (const ObjectArgument argument : listed.arguments()) {
    EXPECT_TRUE(Same(cases[i < std::size(cases) ? i : 1].argument, argument)) << i;
    ++i;
  }
  EXPECT_EQ(std::size(cases) + 1, i);
  EXPECT_EQ(cases[0].argument.name.data(), store.object(1).arguments()[0].name.data());
}

// The first argument of a name wins, in any letter case; an absent one is
// nothing, or the empty text where the caller expects one.
TEST(ObjectStore, LookupsFindTheFirstArgumentOfAName) {
  ObjectStore store;
  SourceObject object = store.NewSourceObject();
  store.AppendArgument(object, {"side", "WEST"});
  store.AppendArgument(object, {"Position", "p"});
  store.AppendArgument(object, {"SIDE", "EAST"});
  store.AppendArgument(object, {"player", ""});
  const SourceObject& listed = store.AppendToList(object);
  SourceObject bare = store.NewSourceObject();
  store.AppendArgument(bare, {"PLAYERS", "1"});
  store.AppendToList(bare);
  using Case = std::pair<const char*, std::optional<std::string_view>>;
  for (const auto& [key, value] : {Case{"SIDE", "WEST"}, Case{"position", "p"}, Case{"PLAYER", ""},
                                   Case{"TYPE", std::nullopt}}) {
    EXPECT_EQ(value, FindArgumentValue(listed, key)) << key;
    EXPECT_EQ(value.value_or(""), RequireArgumentValue(listed, key)) << key;
  }
  EXPECT_EQ(std::optional<std::string_view>(""), FindPlayerArgument(listed.arguments()));
  EXPECT_EQ(std::nullopt, FindPlayerArgument(store.object(1).arguments()));
}

// A new value replaces that of one argument, which keeps its name; the rest
// of the list, and a list stored after it, stay as they were.
TEST(ObjectStore, SetArgumentValueChangesOneArgument) {
  const std::string source = "A=\"1\" B=\"22\" C=\"333\"";
  const std::string_view text = source;
  struct Case {
    std::size_t index;
    std::string_view value;
  };
  const Case cases[] = {
      {1, text.substr(9, 1)},   // a shorter value in place, as the height rule cuts
      {1, "elsewhere"},         // a value outside the source
      {0, text.substr(10, 7)},  // a value in the source, not after its name
      {3, "[1,2,3]"},           // an argument stored whole
      {2, ""},
  };
  for (const Case& c : cases) {
    ObjectStore store;
    store.SetSource(text);
    SourceObject object = store.NewSourceObject();
    const ObjectArgument before[] = {{text.substr(0, 1), text.substr(3, 1)},
                                     {text.substr(6, 1), text.substr(9, 2)},
                                     {text.substr(13, 1), text.substr(16, 3)},
                                     {"POSITION", "[1,2,3]+"}};
    for (const ObjectArgument& argument : before) store.AppendArgument(object, argument);
    SourceObject& listed = store.AppendToList(object);
    SourceObject next = store.NewSourceObject();
    store.AppendArgument(next, before[1]);
    store.AppendToList(next);
    store.SetArgumentValue(listed, c.index, c.value);
    for (std::size_t i = 0; i < std::size(before); ++i) {
      const std::string_view value = i == c.index ? c.value : before[i].value;
      EXPECT_TRUE(Same({before[i].name, value}, listed.arguments()[i])) << c.index << c.value << i;
    }
    EXPECT_EQ(before[1].value.data(), store.object(1).arguments()[0].value.data()) << c.index;
  }
}

// Objects of one type come in list order, those appended meanwhile too,
// until Clear() starts afresh; an object of no known type never comes.
TEST(ObjectStore, NextObjectOfTypeHandsOutEachObjectOnce) {
  ObjectStore store;
  VisitedIds visited;
  EXPECT_EQ(nullptr, store.NextObjectOfType(ObjectType::kGroup, &visited));
  const auto add = [&store](ObjectType type) {
    SourceObject object = store.NewSourceObject();
    object.type = type;
    store.AppendToList(object);
  };
  for (const ObjectType type : {ObjectType::kPrefix, ObjectType::kGroup, ObjectType::kUnit,
                                ObjectType::kGroup, ObjectType::kUnknown}) {
    add(type);
  }
  const auto ids = [&store](ObjectType type, VisitedIds* visited, std::size_t calls) {
    std::string out;
    for (std::size_t i = 0; i < calls; ++i) {
      const SourceObject* object = store.NextObjectOfType(type, visited);
      out += object ? std::to_string(object->id) + " " : "- ";
    }
    return out;
  };
  EXPECT_EQ("1 ", ids(ObjectType::kGroup, &visited, 1));
  add(ObjectType::kGroup);
  EXPECT_EQ("3 5 - - ", ids(ObjectType::kGroup, &visited, 4));
  visited.Clear();
  EXPECT_EQ("1 3 5 - ", ids(ObjectType::kGroup, &visited, 4));
  VisitedIds units, unknown;
  EXPECT_EQ("2 - ", ids(ObjectType::kUnit, &units, 2));
  EXPECT_EQ("- ", ids(ObjectType::kUnknown, &unknown, 1));

  // An id is the object's place in the list: objects are listed as made.
  SourceObject first = store.NewSourceObject();
  SourceObject second = store.NewSourceObject();
  EXPECT_THROW(store.AppendToList(second), std::logic_error);
  EXPECT_EQ(6u, store.AppendToList(first).id);
}

}  // namespace vexlar
