#include "reader/quote_spans.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/oracles/quote_rule.h"

namespace vexlar {

// QuoteSpans gives the answers of the rule followed literally on every look
// of up to 13 quotes and other characters, where no span may leave the look;
// one QuoteSpans serves all looks, as the reader keeps one for all values.
// (Long looks full of quote runs: the reader fuzzer.)
TEST(QuoteSpans, FollowTheRule) {
  QuoteSpans spans;
  for (std::size_t length = 0; length <= 13; ++length) {
    for (std::size_t bits = 0; bits < (std::size_t{1} << length); ++bits) {
      std::string look(length, 'x');
      for (std::size_t k = 0; k < length; ++k) look[k] = (bits >> k & 1) ? '"' : 'x';
      spans.Reset(look);
      for (std::size_t a = 0; a < length; ++a) {
        for (std::size_t b = 1; look[a] == '"' && b <= 4; ++b) {
          const std::size_t span = oracle::QuoteRunSpan(look, a, b);
          ASSERT_EQ(span, spans.Span(a, b)) << look << " " << a << " " << b;
          ASSERT_LE(span, length - a) << look << " " << a << " " << b;
        }
      }
    }
  }
}

}  // namespace vexlar
