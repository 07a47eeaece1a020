// Bounded looks into the composition files, which are held in memory as read
// (binary). A look reads from a position to the end of its line, like one
// line read of a text stream, whose line ends are those of text/line_end.h.
#ifndef VEXLAR_DYNO_LINE_LOOK_H_
#define VEXLAR_DYNO_LINE_LOOK_H_

#include <cstddef>
#include <string_view>

namespace vexlar {

/// The most characters one look reads, the line end included.
constexpr std::size_t kLookSize = 255;

/// The text one look at `position` of `bytes` reads, without its line end:
/// at most kLookSize characters, fewer when a line end comes first; empty at
/// or past the end of `bytes`.
std::string_view LineAt(std::string_view bytes, std::size_t position);

}  // namespace vexlar

#endif  // VEXLAR_DYNO_LINE_LOOK_H_
