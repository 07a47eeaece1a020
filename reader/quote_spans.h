// The doubled-quote sections of one look, answered in time in proportion to
// the look. QuoteRunSpan states the rule: from a quote, a run of b quotes
// further on closes the section; a longer run opens a nested section whose
// closing run is twice as long, and the search goes on after it. Followed
// literally, a look full of quote runs is searched again from every quote
// and at every level of nesting: a few such lines of 1023 characters take a
// second, a large file of them minutes. QuoteSpans gives the same answers
// and settles each position of a run once per level.
#ifndef VEXLAR_READER_QUOTE_SPANS_H_
#define VEXLAR_READER_QUOTE_SPANS_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vexlar {

class QuoteSpans {
 public:
  /// `look` must outlive the object.
  explicit QuoteSpans(std::string_view look);
  QuoteSpans(const QuoteSpans&) = delete;
  QuoteSpans& operator=(const QuoteSpans&) = delete;

  /// QuoteRunSpan(look, a, b).
  std::size_t Span(std::size_t a, std::size_t b);

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  struct Run {
    std::size_t start;
    std::size_t end;  // one past its last quote
  };

  // Where the search for a closing run of `b` quotes that starts at `from`
  // ends: one past the closing run, or kNone when the look ends first.
  std::size_t SearchEnd(std::size_t from, std::size_t b);
  // The first position at or after `from` where `b` quotes begin, or kNone.
  std::size_t NextStart(std::size_t from, std::size_t b);
  // The index of the first run at or after `index` holding `b` quotes or
  // more; runs_.size() when there is none.
  std::size_t NextLongRun(std::size_t index, std::size_t b);

  std::string_view look_;
  std::vector<Run> runs_;  // the maximal runs of quotes, in order
  // Per run length b: for each run index, the first run from it of at
  // least b quotes. Made when a search for b first needs it.
  std::unordered_map<std::size_t, std::vector<std::size_t>> long_runs_;
  // SearchEnd from a position where more than b quotes begin, by (b, position).
  std::unordered_map<std::uint64_t, std::size_t> ends_;
};

}  // namespace vexlar

#endif  // VEXLAR_READER_QUOTE_SPANS_H_
