// Property checks for the fuzz targets. A failed check names the property
// and aborts, which libFuzzer reports as a crash and saves the input.
#ifndef VEXLAR_FUZZ_FUZZ_CHECK_H_
#define VEXLAR_FUZZ_FUZZ_CHECK_H_

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)

namespace vexlar::fuzz {

/// True when `part` lies inside the bytes of `whole`.
inline bool ViewsInto(std::string_view part, std::string_view whole) {
  const auto begin = reinterpret_cast<std::uintptr_t>(whole.data());
  const auto at = reinterpret_cast<std::uintptr_t>(part.data());
  return part.empty() || (at >= begin && at + part.size() <= begin + whole.size());
}

}  // namespace vexlar::fuzz

#endif  // VEXLAR_FUZZ_FUZZ_CHECK_H_
