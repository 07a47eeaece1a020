// Decimal number texts as the 3D editor and the composition scripts write
// them, read the way the C library's strtod reads decimal text, but without
// hexadecimal, "inf" or "nan", and the same in every locale.
#ifndef VEXLAR_TEXT_DECIMAL_H_
#define VEXLAR_TEXT_DECIMAL_H_

#include <string_view>

namespace vexlar {

/// The longest leading decimal number of `text` (after leading white space:
/// sign, digits with an optional point, optional exponent), or 0 when there
/// is none. "5m" gives 5, "1e" 1, "abc" 0.
double ParseDecimal(std::string_view text);

}  // namespace vexlar

#endif  // VEXLAR_TEXT_DECIMAL_H_
