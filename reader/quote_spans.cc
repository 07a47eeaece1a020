#include "reader/quote_spans.h"

#include <algorithm>

namespace vexlar {

void QuoteSpans::Reset(std::string_view look) {
  look_ = look;
  built_ = false;
}

void QuoteSpans::Build() {
  built_ = true;
  levels_used_ = 0;
  runs_.clear();
  for (std::size_t i = look_.find('"'); i != std::string_view::npos; i = look_.find('"', i)) {
    std::size_t end = i + 1;
    while (end < look_.size() && look_[end] == '"') ++end;
    runs_.push_back({i, end});
    i = end;
  }
}

std::size_t QuoteSpans::Span(std::size_t a, std::size_t b) {
  if (b == 0) return 0;
  // Without two quotes in a row after the run, no section opens: the quote
  // at `a` closes the value. Most values end so, and need no runs at all.
  if (b == 2 && look_.find("\"\"", a + 2) == std::string_view::npos) return 0;
  if (!built_) Build();
  const std::size_t end = SearchEnd(a + b, b);
  return end == kNone ? 0 : end - a;
}

std::size_t QuoteSpans::LevelOf(std::size_t b) {
  for (std::size_t i = 0; i < levels_used_; ++i) {
    if (levels_[i].b == b) return i;
  }
  if (levels_used_ == levels_.size()) levels_.emplace_back();
  Level& level = levels_[levels_used_];
  level.b = b;
  level.next_long_run.assign(runs_.size() + 1, runs_.size());
  for (std::size_t k = runs_.size(); k-- > 0;) {
    level.next_long_run[k] = runs_[k].end - runs_[k].start >= b ? k : level.next_long_run[k + 1];
  }
  level.ends.clear();  // filled when a first end is remembered
  return levels_used_++;
}

std::size_t QuoteSpans::NextStart(std::size_t from, const Level& level) const {
  // b quotes begin at d when d lies in a run that goes on to at least d + b:
  // at `from` itself inside the first run that reaches from + b, else at
  // the start of the first later run of b quotes or more.
  const std::size_t b = level.b;
  if (from > look_.size() || look_.size() - from < b) return kNone;
  const auto reaching =
      std::lower_bound(runs_.begin(), runs_.end(), from + b,
                       [](const Run& run, std::size_t end) { return run.end < end; });
  if (reaching == runs_.end()) return kNone;
  if (reaching->start <= from) return from;
  const std::size_t k = level.next_long_run[static_cast<std::size_t>(reaching - runs_.begin())];
  return k == runs_.size() ? kNone : runs_[k].start;
}

std::size_t QuoteSpans::SearchEnd(std::size_t from, std::size_t b) {
  // The positions passed on the way share this search's end; those where
  // more than b quotes begin are remembered, since other searches of the
  // same b reach them too. The nested searches below may add levels, so
  // the level is held by its index.
  const std::size_t level = LevelOf(b);
  const std::size_t first_passed = passed_.size();
  std::size_t end = kNone;
  for (;;) {
    const std::size_t d = NextStart(from, levels_[level]);
    if (d == kNone) break;
    const auto run = std::upper_bound(runs_.begin(), runs_.end(), d,
                                      [](std::size_t at, const Run& r) { return at < r.start; }) -
                     1;
    if (run->end - d == b) {  // exactly b quotes: they close the section
      end = d + b;
      break;
    }
    const std::vector<std::size_t>& ends = levels_[level].ends;
    if (!ends.empty() && ends[d] != kUnknown) {
      end = ends[d];
      break;
    }
    passed_.push_back(d);
    // More quotes: a nested section, closed by a run twice as long.
    const std::size_t inner = SearchEnd(d + 2 * b, 2 * b);
    if (inner == kNone) {  // never closed: the first b quotes close this one
      end = d + b;
      break;
    }
    from = inner;
  }
  std::vector<std::size_t>& ends = levels_[level].ends;
  if (passed_.size() > first_passed && ends.empty()) ends.assign(look_.size() + 1, kUnknown);
  for (std::size_t k = first_passed; k < passed_.size(); ++k) ends[passed_[k]] = end;
  passed_.resize(first_passed);
  return end;
}

ExtractedValue ExtractValue(std::string_view look, QuoteSpans* spans) {
  const std::size_t n = look.size();
  const std::size_t open = look.find('"');
  if (open == std::string_view::npos) return {std::string_view(), 0};
  spans->Reset(look);
  // Doubled-quote sections stay in the value as written; the first quote
  // that starts none closes it.
  std::size_t i = open + 1;
  for (;;) {
    while (i < n && look[i] != '"') ++i;
    if (i == n) break;
    const std::size_t span = spans->Span(i, 2);
    if (span == 0) break;
    i += span;
  }
  return {look.substr(open + 1, i - open - 1), i + 1};
}

}  // namespace vexlar
