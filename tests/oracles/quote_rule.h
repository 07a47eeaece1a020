// The doubled-quote rule of .kolvo values followed literally, step by step:
// the reference that QuoteSpans (reader/quote_spans.h) is checked against by
// the tests and the reader fuzzer. A look full of quote runs makes it very
// slow, which is why the reader does not use it.
#ifndef VEXLAR_TESTS_ORACLES_QUOTE_RULE_H_
#define VEXLAR_TESTS_ORACLES_QUOTE_RULE_H_

#include <cstddef>
#include <string_view>

namespace vexlar::oracle {

/// The length of the doubled-quote section that starts at `a` in `look` with
/// a run of `b` quotes, or 0 when the quote at `a` closes the value.
std::size_t QuoteRunSpan(std::string_view look, std::size_t a, std::size_t b);

}  // namespace vexlar::oracle

#endif  // VEXLAR_TESTS_ORACLES_QUOTE_RULE_H_
