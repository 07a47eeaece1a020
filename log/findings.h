// The findings of a run: what did not make it into mission.pld, or made it
// changed, with where it stands in the file that caused it. A conversion
// only counts them (one line on standard error tells how many); --check
// keeps and prints them, one per line, the way compilers print warnings:
//   <path>:<line>:<column>: warning: <what happens> [<kind>]
#ifndef VEXLAR_LOG_FINDINGS_H_
#define VEXLAR_LOG_FINDINGS_H_

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace vexlar {

/// A place in a file held in memory: the file's path as shown, its bytes,
/// and a byte offset into them.
struct TextPlace {
  std::string_view path;
  std::string_view text;
  std::size_t offset = 0;
};

/// One finding. `object` is the id of the object it is about, or kNoObject.
struct Finding {
  static constexpr std::uint32_t kNoObject = UINT32_MAX;
  TextPlace place;
  std::string message;
  const char* kind = "";
  std::uint32_t object = kNoObject;
};

class Findings {
 public:
  /// The findings of the source file `path` (as findings show it), whose
  /// bytes are `text`; both must outlive the findings. Keeps the findings
  /// when `keep`, else only counts them.
  Findings(std::string_view path, std::string_view text, bool keep)
      : keep_(keep), source_path_(path), source_text_(text) {}

  std::string_view source_path() const { return source_path_; }
  /// The place of `piece`, a view into the source's bytes; the start of the
  /// file for a text that is not one (a value the reader had to copy).
  TextPlace InSource(std::string_view piece) const;
  /// The place of the header "class _name_number" whose name `name` views.
  TextPlace AtHeader(std::string_view name) const;

  /// Counts a finding and, when they are kept, keeps it; `message` makes its
  /// text and is called only then. A finding of the same kind at the same
  /// place as an earlier one (an object written twice) is not counted again.
  template <typename MakeMessage>
  void Report(const char* kind, const TextPlace& place, std::uint32_t object,
              MakeMessage&& message) {
    if (!seen_.emplace(std::string_view(kind), place.text.data(), place.offset).second) return;
    ++count_;
    if (keep_) kept_.push_back({place, std::forward<MakeMessage>(message)(), kind, object});
  }

  std::size_t count() const { return count_; }

  /// The kept findings as lines, ordered by file (in the order files were
  /// first named) and place, then the summary line: "N findings in M
  /// objects" or "no findings".
  std::string Lines() const;

 private:
  bool keep_;
  std::string_view source_path_;
  std::string_view source_text_;
  std::size_t count_ = 0;
  std::vector<Finding> kept_;
  std::set<std::tuple<std::string_view, const char*, std::size_t>> seen_;
};

}  // namespace vexlar

#endif  // VEXLAR_LOG_FINDINGS_H_
