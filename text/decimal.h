// Decimal number texts as the 3D editor and the composition scripts write
// them, read the way the C library's strtod reads decimal text, but without
// hexadecimal, "inf" or "nan", and the same in every locale.
#ifndef VEXLAR_TEXT_DECIMAL_H_
#define VEXLAR_TEXT_DECIMAL_H_

#include <optional>
#include <string_view>

namespace vexlar {

/// The longest leading decimal number of `text` (after leading white space:
/// sign, digits with an optional point, optional exponent), or 0 when there
/// is none. "5m" gives 5, "1e" 1, "abc" 0.
double ParseDecimal(std::string_view text);

/// The same number, or nothing when `text` holds none: the difference
/// between a field that reads as 0 and one that is no number at all.
std::optional<double> ReadDecimal(std::string_view text);

/// True when `text` holds something other than blanks but no number, so
/// that it reads as 0: "abc", "x5". An empty or blank field is no such text.
bool IsNotANumber(std::string_view text);

}  // namespace vexlar

#endif  // VEXLAR_TEXT_DECIMAL_H_
