#include "reader/quote_spans.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "reader/reader.h"

namespace vexlar {
namespace {

// Every look of up to 13 characters made of quotes and another character:
// the answers match the rule followed literally, for every quote and run
// length, with one QuoteSpans answering all questions about its look.
TEST(QuoteSpans, AgreeWithTheRuleOnEveryShortLook) {
  for (std::size_t length = 0; length <= 13; ++length) {
    for (std::size_t bits = 0; bits < (std::size_t{1} << length); ++bits) {
      std::string look(length, 'x');
      for (std::size_t k = 0; k < length; ++k) {
        if (bits >> k & 1) look[k] = '"';
      }
      QuoteSpans spans(look);
      for (std::size_t a = 0; a < length; ++a) {
        if (look[a] != '"') continue;
        for (std::size_t b = 1; b <= 4; ++b) {
          ASSERT_EQ(QuoteRunSpan(look, a, b), spans.Span(a, b)) << look << " " << a << " " << b;
        }
      }
    }
  }
}

// Long looks of quote runs of many lengths, as nested values have them.
TEST(QuoteSpans, AgreeWithTheRuleOnLongLooks) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 40; ++trial) {
    const std::size_t longest_run = 1 + random() % 80;
    std::string look;
    while (look.size() < 1023) {
      look.append(1 + random() % longest_run, '"');
      look.append(random() % 3, trial % 2 == 0 ? 'x' : ' ');
    }
    look.resize(1023);
    QuoteSpans spans(look);
    for (std::size_t a = 0; a < look.size(); a += 1 + random() % 16) {
      if (look[a] != '"') continue;
      ASSERT_EQ(QuoteRunSpan(look, a, 2), spans.Span(a, 2)) << trial << " " << a;
    }
  }
}

}  // namespace
}  // namespace vexlar
