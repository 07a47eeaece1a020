#include "text/decimal.h"

#include <gtest/gtest.h>

#include <utility>

namespace vexlar {

TEST(ParseDecimal, TakesOnlyTheLeadingDecimalNumber) {
  const std::pair<const char*, double> cases[] = {
      {"  -3.5", -3.5}, {"+.5", 0.5}, {"5.", 5},  {"5m", 5},   {"2E-2", 0.02},
      {"1e", 1},        {"1e+", 1},   {"abc", 0}, {".", 0},    {"-", 0},
      {"0x10", 0},      {"inf", 0},   {"nan", 0}, {"\t7]", 7}, {"1.5.2", 1.5},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(value, ParseDecimal(text)) << text;
}

}  // namespace vexlar
