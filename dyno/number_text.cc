#include "dyno/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace vexlar {

std::string FormatNumberText(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  if (value == 0) return "0.";

  // to_chars rounds correctly to ten significant digits, as "%.9e" does, and
  // gives the exponent of the rounded value: "d.ddddddddde+XX". Only its
  // digits and the exponent's value are used, never its exponent format.
  char scientific[32];
  const std::to_chars_result end =
      std::to_chars(scientific, scientific + sizeof scientific - 1, std::fabs(value),
                    std::chars_format::scientific, 9);
  *end.ptr = '\0';
  char digits[10];  // the ten significant digits
  digits[0] = scientific[0];
  std::memcpy(digits + 1, scientific + 2, 9);
  const int exponent = std::atoi(scientific + 12);  // after "d.ddddddddde"

  // The digits before the point, and those after it.
  const bool fixed = exponent >= -1 && exponent <= 9;
  const int whole = !fixed ? 1 : exponent == -1 ? 0 : exponent + 1;
  int fraction_end = 10;
  while (fraction_end > whole && digits[fraction_end - 1] == '0') --fraction_end;

  std::string text;
  if (value < 0) text += '-';
  if (whole == 0) text += '0';
  text.append(digits, static_cast<std::size_t>(whole));
  text += '.';
  text.append(digits + whole, static_cast<std::size_t>(fraction_end - whole));
  if (!fixed) {
    const int size = exponent < 0 ? -exponent : exponent;
    text += 'e';
    text += exponent < 0 ? '-' : '+';
    text += static_cast<char>('0' + size / 100);
    text += static_cast<char>('0' + size / 10 % 10);
    text += static_cast<char>('0' + size % 10);
  }
  return text;
}

}  // namespace vexlar
