// The number texts of the vehicles a composition makes: ten significant
// digits, fixed or exponential notation, always with a decimal point. The
// text is built from the digits alone, so it is the same on every platform.
#ifndef VEXLAR_DYNO_NUMBER_TEXT_H_
#define VEXLAR_DYNO_NUMBER_TEXT_H_

#include <string>

namespace vexlar {

/// `value` rounded to ten significant digits. With e the decimal exponent of
/// the rounded value (0 for 0): fixed notation with 9 - e decimals when e is
/// from -1 to 9, else "d.ddddddddde+XXX" (sign and three exponent digits).
/// Trailing zeros after the point are dropped, the point stays: 90 gives
/// "90.", 0.05 gives "5.e-002", 0 and -0 give "0.". Infinities and NaN give
/// "inf", "-inf" and "nan".
std::string FormatNumberText(double value);

}  // namespace vexlar

#endif  // VEXLAR_DYNO_NUMBER_TEXT_H_
