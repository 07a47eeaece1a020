#include "store/store.h"

#include <gtest/gtest.h>

namespace vexlar {

TEST(ObjectStore, NumberAfterTheRightmostUnderscoreBeforeADigit) {
  using Case = std::pair<const char*, std::int32_t>;
  for (const auto& [text, number] :
       {Case{"_group_12", 12}, Case{"a_1_2", 2}, Case{"_x_07", 7}, Case{"_unit_5b", 5},
        Case{"_group_12_", 12}, Case{"_99999999999", 2147483647},
        Case{"_group_", kNoReferenceNumber}, Case{"5_", kNoReferenceNumber}}) {
    EXPECT_EQ(number, NumberAfterUnderscore(text)) << text;
  }
  EXPECT_FALSE(NumberMatches(kNoReferenceNumber, kNoHeaderNumber));
}

TEST(ObjectStore, KeptTextsStayInPlace) {
  ObjectStore store;
  const std::string_view kept = store.KeepText("short");  // held inside a string object
  for (int i = 0; i < 1000; ++i) store.KeepText("x");
  EXPECT_EQ("short", kept);
}

}  // namespace vexlar
