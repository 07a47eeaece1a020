// ExtractValue follows the quote rule step by step while that is cheap and
// hands over to QuoteSpans part way through a look when it is not: whichever
// way, the value and count are those of the rule followed literally.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "reader/reader.h"

namespace vexlar {
namespace {

ExtractedValue LiteralExtractValue(std::string_view look) {
  const std::size_t open = look.find('"');
  if (open == std::string_view::npos) return {std::string_view(), 0};
  std::size_t i = open + 1;
  while (i < look.size()) {
    if (look[i] != '"') {
      ++i;
      continue;
    }
    const std::size_t span = QuoteRunSpan(look, i, 2);
    if (span == 0) break;
    i += span;
  }
  return {look.substr(open + 1, i - open - 1), i + 1};
}

void ExpectLiteral(const std::string& look) {
  const ExtractedValue expected = LiteralExtractValue(look);
  const ExtractedValue got = ExtractValue(look);
  ASSERT_EQ(expected.value, got.value) << look;
  ASSERT_EQ(expected.count, got.count) << look;
}

TEST(ExtractValue, FollowsTheRuleOnEveryShortLook) {
  for (std::size_t length = 0; length <= 12; ++length) {
    for (std::size_t bits = 0; bits < (std::size_t{1} << length); ++bits) {
      std::string look(length, 'x');
      for (std::size_t k = 0; k < length; ++k) {
        if (bits >> k & 1) look[k] = '"';
      }
      ExpectLiteral(look);
    }
  }
}

// Long looks of quote runs: following the rule literally costs far more
// steps than the look has characters, so these reach the hand-over.
TEST(ExtractValue, FollowsTheRuleOnLongLooksOfQuoteRuns) {
  std::mt19937 random(11);
  for (int trial = 0; trial < 60; ++trial) {
    const std::size_t longest_run = 1 + random() % 40;
    std::string look = "\"";
    while (look.size() < 1023) {
      look.append(1 + random() % longest_run, '"');
      look.append(random() % 3, 'x');
    }
    look.resize(1023);
    ExpectLiteral(look);
  }
}

}  // namespace
}  // namespace vexlar
