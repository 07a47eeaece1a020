// Line ends of files held in memory as read (binary): a line end is LF, or
// CR LF, which counts as one line end, as a text-mode read on Windows gives
// it. A CR that no LF follows is an ordinary character.
#ifndef VEXLAR_TEXT_LINE_END_H_
#define VEXLAR_TEXT_LINE_END_H_

#include <cstddef>
#include <string_view>

namespace vexlar {

/// The size of the line end that starts at `position` of `bytes`: 1 for LF,
/// 2 for CR LF, 0 for none (also at or past the end of `bytes`).
inline std::size_t LineEndSizeAt(std::string_view bytes, std::size_t position) {
  if (position >= bytes.size()) return 0;
  if (bytes[position] == '\n') return 1;
  const bool cr_lf =
      bytes[position] == '\r' && position + 1 < bytes.size() && bytes[position + 1] == '\n';
  return cr_lf ? 2 : 0;
}

/// True when a line end starts at `position` of `bytes`.
inline bool IsLineEndAt(std::string_view bytes, std::size_t position) {
  return LineEndSizeAt(bytes, position) != 0;
}

}  // namespace vexlar

#endif  // VEXLAR_TEXT_LINE_END_H_
