#include "dyno/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vexlar {

std::string FormatNumberText(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  if (value == 0) return "0.";

  // "%.9e" rounds correctly to ten significant digits and gives the exponent
  // of the rounded value; only its digits are used, never its exponent format.
  char scientific[32];
  std::snprintf(scientific, sizeof scientific, "%.9e", std::fabs(value));
  std::string digits;  // the ten significant digits
  digits += scientific[0];
  digits.append(scientific + 2, 9);
  const int exponent = std::atoi(scientific + 12);  // after "d.ddddddddde"

  std::string text = value < 0 ? "-" : "";
  std::string fraction;
  if (exponent >= -1 && exponent <= 9) {
    if (exponent == -1) {
      text += '0';
      fraction = digits;
    } else {
      text.append(digits, 0, static_cast<std::size_t>(exponent) + 1);
      fraction = digits.substr(static_cast<std::size_t>(exponent) + 1);
    }
  } else {
    text += digits[0];
    fraction = digits.substr(1);
  }
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  text += '.';
  text += fraction;

  if (exponent < -1 || exponent > 9) {
    char tail[16];
    std::snprintf(tail, sizeof tail, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    text += tail;
  }
  return text;
}

}  // namespace vexlar
