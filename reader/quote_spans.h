// The doubled-quote sections of one look, answered in time in proportion to
// the look. The rule: from a quote, a run of b quotes further on closes the
// section; a longer run opens a nested section whose closing run is twice as
// long, and the search goes on after it. Followed literally (as the tests'
// reference in tests/oracles/quote_rule.h does), a look full of quote runs
// is searched again from every quote and at every level of nesting: a few
// such lines of 1023 characters take a second, a large file of them
// minutes. QuoteSpans gives the same answers and settles each position of a
// run once per level.
#ifndef VEXLAR_READER_QUOTE_SPANS_H_
#define VEXLAR_READER_QUOTE_SPANS_H_

#include <cstddef>
#include <string_view>
#include <vector>

namespace vexlar {

class QuoteSpans {
 public:
  QuoteSpans() = default;
  /// `look` must outlive its use.
  explicit QuoteSpans(std::string_view look) { Reset(look); }
  QuoteSpans(const QuoteSpans&) = delete;
  QuoteSpans& operator=(const QuoteSpans&) = delete;

  /// Starts over on `look`, keeping the memory of earlier looks, so that
  /// the reader makes no allocation per value.
  void Reset(std::string_view look);

  /// QuoteRunSpan(look, a, b): the length of the section that starts at `a`
  /// with a run of `b` quotes, or 0 when the quote at `a` closes the value.
  std::size_t Span(std::size_t a, std::size_t b);

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  static constexpr std::size_t kUnknown = static_cast<std::size_t>(-2);

  struct Run {
    std::size_t start;
    std::size_t end;  // one past its last quote
  };

  // What the searches for runs of one length b have found in this look.
  struct Level {
    std::size_t b = 0;
    // For each run index, the first run from it of at least b quotes
    // (runs_.size() when none).
    std::vector<std::size_t> next_long_run;
    // SearchEnd from each position where more than b quotes begin, once
    // known; else kUnknown. Empty until a first end is known.
    std::vector<std::size_t> ends;
  };

  // Where the search for a closing run of `b` quotes that starts at `from`
  // ends: one past the closing run, or kNone when the look ends first.
  std::size_t SearchEnd(std::size_t from, std::size_t b);
  // The first position at or after `from` where b quotes begin, or kNone.
  std::size_t NextStart(std::size_t from, const Level& level) const;
  // The index in levels_ of the level of `b`, made when first needed.
  std::size_t LevelOf(std::size_t b);
  // Finds the runs of the look; done when a span first needs them.
  void Build();

  std::string_view look_;
  bool built_ = false;
  std::vector<Run> runs_;  // the maximal runs of quotes, in order
  // The levels of this look are the first levels_used_; the others keep
  // their memory for later looks.
  std::vector<Level> levels_;
  std::size_t levels_used_ = 0;
  // The positions passed by the searches under way, innermost last.
  std::vector<std::size_t> passed_;
};

/// The value that starts in `look` (the rest of a line after an equals
/// sign) and the count of characters from the start of the look to just
/// after its closing quote (one past the end when no closing quote; 0 when
/// the look holds no quote). Doubled-quote sections stay in the value as
/// written; they are found with `spans`, which is reset to `look`.
struct ExtractedValue {
  std::string_view value;
  std::size_t count;
};
ExtractedValue ExtractValue(std::string_view look, QuoteSpans* spans);

}  // namespace vexlar

#endif  // VEXLAR_READER_QUOTE_SPANS_H_
