// What the fuzz targets share: property checks that abort when they fail
// (libFuzzer reports the abort as a crash and saves the input), and the
// entry point that hands a target its input as text.
#ifndef VEXLAR_FUZZ_FUZZ_CHECK_H_
#define VEXLAR_FUZZ_FUZZ_CHECK_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

// Aborts with the property's text when `condition` is false.
#define FUZZ_CHECK(condition)                                                                   \
  ((condition)                                                                                  \
       ? void()                                                                                 \
       : (std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition), \
          std::abort()))

// Defines the libFuzzer entry point, which calls `function(std::string_view)`.
// libFuzzer hands each input over in a buffer of exactly its size, so a read
// past the end of the text is caught.
#define FUZZ_TARGET(function)                                                         \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    function(std::string_view(reinterpret_cast<const char*>(data), size));            \
    return 0;                                                                         \
  }

namespace vexlar::fuzz {

/// True when `part` lies inside the bytes of `whole`.
inline bool ViewsInto(std::string_view part, std::string_view whole) {
  const auto begin = reinterpret_cast<std::uintptr_t>(whole.data());
  const auto at = reinterpret_cast<std::uintptr_t>(part.data());
  return part.empty() || (at >= begin && at + part.size() <= begin + whole.size());
}

/// True when both are the same bytes in memory (not merely equal text), or
/// both are nothing.
inline bool SameView(std::optional<std::string_view> a, std::optional<std::string_view> b) {
  return a && b ? a->data() == b->data() && a->size() == b->size() : !a && !b;
}

}  // namespace vexlar::fuzz

#endif  // VEXLAR_FUZZ_FUZZ_CHECK_H_
