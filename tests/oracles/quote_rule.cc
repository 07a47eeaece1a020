#include "tests/oracles/quote_rule.h"

namespace vexlar::oracle {

std::size_t QuoteRunSpan(std::string_view look, std::size_t a, std::size_t b) {
  const std::size_t n = look.size();
  std::size_t d = a + b;
  if (d >= n) return 0;
  for (;;) {
    // Only a quote can start a run: the positions before the next one are
    // passed over at once.
    while (d < n && look[d] != '"') ++d;
    if (d == n || n - d < b) return 0;
    std::size_t run = 0;
    while (run < b && look[d + run] == '"') ++run;
    if (run == b) {
      if (d + b >= n || look[d + b] != '"') return d - a + b;
      const std::size_t deeper = QuoteRunSpan(look, d, 2 * b);
      if (deeper == 0) return d - a + b;
      d += deeper - 1;
    }
    ++d;
    if (d >= n) return 0;
  }
}

}  // namespace vexlar::oracle
