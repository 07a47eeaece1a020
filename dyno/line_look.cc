#include "dyno/line_look.h"

#include <algorithm>

#include "text/line_end.h"

namespace vexlar {

std::string_view LineAt(std::string_view bytes, std::size_t position) {
  if (position >= bytes.size()) return {};
  // Every character before the line end is one byte, so the limit is in bytes.
  const std::size_t limit = std::min(bytes.size(), position + kLookSize);
  std::size_t end = position;
  while (end < limit && !IsLineEndAt(bytes, end)) ++end;
  return bytes.substr(position, end - position);
}

}  // namespace vexlar
