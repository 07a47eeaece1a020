#include "store/store.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace vexlar {

TEST(ObjectStore, NumberAfterTheRightmostUnderscoreBeforeADigit) {
  using Case = std::pair<const char*, std::int32_t>;
  for (const auto& [text, number] :
       {Case{"_group_12", 12}, Case{"a_1_2", 2}, Case{"_x_07", 7}, Case{"_unit_5b", 5},
        Case{"_group_12_", 12}, Case{"_99999999999", 2147483647},
        Case{"_group_", kNoReferenceNumber}, Case{"5_", kNoReferenceNumber}}) {
    EXPECT_EQ(number, NumberAfterUnderscore(text)) << text;
  }
}

// Every argument comes back as the very views it was stored with, whether
// the store packs it (name="value" in the source, within the field sizes)
// or keeps it whole; a list that must move to grow keeps its arguments.
TEST(ObjectStore, ArgumentsComeBackAsStored) {
  const std::string source =
      "N=\"v\" A = \"x\" " + std::string(64, 'n') + "=\"" + std::string(1100, 'v') + "\" E=\"\"";
  const std::string_view text = source;
  const std::size_t long_name = text.find('n'), long_value = text.find("vvv");
  const ObjectArgument cases[] = {
      {text.substr(0, 1), text.substr(3, 1)},                              // packed
      {text.substr(7, 1), text.substr(12, 1)},                             // a gap other than ="
      {text.substr(long_name + 1, 63), text.substr(long_value, 1023)},     // the longest packed
      {text.substr(long_name, 64), text.substr(long_value, 10)},           // name too long
      {text.substr(long_name + 63, 1), text.substr(long_value, 1024)},     // value too long
      {text.substr(text.size() - 4, 1), text.substr(text.size() - 1, 0)},  // empty value
      {text.substr(3, 1), text.substr(0, 1)},                              // value before name
      {"INIT", "this setpos [1,2,3];"},                                    // outside the source
      {text.substr(0, 1), std::string_view()},                             // no value text at all
  };
  ObjectStore store;
  store.SetSource(text);
  SourceObject first = store.NewSourceObject();
  for (const ObjectArgument& argument : cases) store.AppendArgument(first, argument);
  SourceObject& listed = store.AppendToList(first);
  SourceObject second = store.NewSourceObject();
  store.AppendArgument(second, cases[0]);
  store.AppendToList(second);
  store.AppendArgument(listed, cases[1]);  // moves the list past the second one's
  std::size_t i = 0;
  for (const ObjectArgument argument : listed.arguments()) {
    const ObjectArgument& expected = cases[i < std::size(cases) ? i : 1];
    EXPECT_EQ(expected.name.data(), argument.name.data()) << i;
    EXPECT_EQ(expected.name.size(), argument.name.size()) << i;
    EXPECT_EQ(expected.value.size(), argument.value.size()) << i;
    if (!expected.value.empty()) {
      EXPECT_EQ(expected.value.data(), argument.value.data()) << i;
    }
    ++i;
  }
  EXPECT_EQ(std::size(cases) + 1, i);
  EXPECT_EQ(cases[0].name.data(), store.object(1).arguments()[0].name.data());
}

TEST(ObjectStore, KeptTextsStayInPlace) {
  ObjectStore store;
  // Small texts share blocks, large ones have a string each: enough of both
  // to fill several blocks, each still reading as it was kept.
  std::vector<std::string> texts;
  std::vector<std::string_view> kept;
  for (int i = 0; i < 20000; ++i) {
    texts.push_back(std::to_string(i) + std::string(i % 500, 'x'));
    kept.push_back(store.KeepText(texts.back()));
  }
  for (std::size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(texts[i], kept[i]) << i;
}

}  // namespace vexlar
