#include "reader/quote_spans.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "reader/reader.h"

namespace vexlar {

// QuoteSpans gives the answers of the rule followed literally (QuoteRunSpan)
// on every look of up to 13 quotes and other characters, where no span may
// leave the look. On looks of 1023 characters full of quote runs, following
// the rule costs so many steps that values are taken with QuoteSpans, one of
// them kept for every look as the reader keeps it: values and spans still
// follow the rule.
TEST(QuoteSpans, FollowTheRule) {
  for (std::size_t length = 0; length <= 13; ++length) {
    for (std::size_t bits = 0; bits < (std::size_t{1} << length); ++bits) {
      std::string look(length, 'x');
      for (std::size_t k = 0; k < length; ++k) look[k] = (bits >> k & 1) ? '"' : 'x';
      QuoteSpans spans(look);
      for (std::size_t a = 0; a < length; ++a) {
        for (std::size_t b = 1; look[a] == '"' && b <= 4; ++b) {
          const std::size_t span = QuoteRunSpan(look, a, b);
          ASSERT_EQ(span, spans.Span(a, b)) << look << " " << a << " " << b;
          ASSERT_LE(span, length - a) << look << " " << a << " " << b;
        }
      }
    }
  }
  std::mt19937 random(11);
  QuoteSpans reused;
  for (int trial = 0; trial < 80; ++trial) {
    const std::size_t longest_run = 1 + random() % 60;
    std::string look = "\"";
    while (look.size() < 1023) {
      look.append(1 + random() % longest_run, '"');
      look.append(random() % 3, trial % 2 == 0 ? 'x' : ' ');
    }
    look.resize(1023);
    const ExtractedValue expected = ExtractValue(look), got = ExtractValue(look, &reused);
    ASSERT_EQ(expected.value, got.value) << look;
    ASSERT_EQ(expected.count, got.count) << look;
    QuoteSpans spans(look);
    for (std::size_t a = 0; a < look.size(); a += 1 + random() % 16) {
      if (look[a] != '"') continue;
      ASSERT_EQ(QuoteRunSpan(look, a, 2), spans.Span(a, 2)) << trial << " " << a;
    }
  }
}

}  // namespace vexlar
