#include "reader/quote_spans.h"

#include <algorithm>

namespace vexlar {

QuoteSpans::QuoteSpans(std::string_view look) : look_(look) {
  for (std::size_t i = 0; i < look.size();) {
    if (look[i] != '"') {
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    while (end < look.size() && look[end] == '"') ++end;
    runs_.push_back({i, end});
    i = end;
  }
}

std::size_t QuoteSpans::Span(std::size_t a, std::size_t b) {
  if (b == 0) return 0;
  const std::size_t end = SearchEnd(a + b, b);
  return end == kNone ? 0 : end - a;
}

std::size_t QuoteSpans::NextLongRun(std::size_t index, std::size_t b) {
  auto [slot, made] = long_runs_.try_emplace(b);
  std::vector<std::size_t>& next = slot->second;
  if (made) {
    next.assign(runs_.size() + 1, runs_.size());
    for (std::size_t k = runs_.size(); k-- > 0;) {
      next[k] = runs_[k].end - runs_[k].start >= b ? k : next[k + 1];
    }
  }
  return next[index];
}

std::size_t QuoteSpans::NextStart(std::size_t from, std::size_t b) {
  // b quotes begin at d when d lies in a run that goes on to at least d + b:
  // at `from` itself inside the first run that reaches from + b, else at
  // the start of the first later run of b quotes or more.
  if (from > look_.size() || look_.size() - from < b) return kNone;
  const auto reaching =
      std::lower_bound(runs_.begin(), runs_.end(), from + b,
                       [](const Run& run, std::size_t end) { return run.end < end; });
  if (reaching == runs_.end()) return kNone;
  if (reaching->start <= from) return from;
  const std::size_t k = NextLongRun(static_cast<std::size_t>(reaching - runs_.begin()), b);
  return k == runs_.size() ? kNone : runs_[k].start;
}

std::size_t QuoteSpans::SearchEnd(std::size_t from, std::size_t b) {
  // The positions passed on the way share this search's end; those where
  // more than b quotes begin are remembered, since other searches of the
  // same b reach them too.
  std::vector<std::size_t> passed;
  std::size_t end = kNone;
  for (;;) {
    const std::size_t d = NextStart(from, b);
    if (d == kNone) break;
    const auto run = std::upper_bound(runs_.begin(), runs_.end(), d,
                                      [](std::size_t at, const Run& r) { return at < r.start; }) -
                     1;
    if (run->end - d == b) {  // exactly b quotes: they close the section
      end = d + b;
      break;
    }
    const std::uint64_t key = static_cast<std::uint64_t>(b) * (look_.size() + 1) + d;
    if (const auto known = ends_.find(key); known != ends_.end()) {
      end = known->second;
      break;
    }
    passed.push_back(d);
    // More quotes: a nested section, closed by a run twice as long.
    const std::size_t inner = SearchEnd(d + 2 * b, 2 * b);
    if (inner == kNone) {  // never closed: the first b quotes close this one
      end = d + b;
      break;
    }
    from = inner;
  }
  for (const std::size_t d : passed) {
    ends_[static_cast<std::uint64_t>(b) * (look_.size() + 1) + d] = end;
  }
  return end;
}

}  // namespace vexlar
