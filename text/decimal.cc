#include "text/decimal.h"

#include <cstdlib>
#include <string>

namespace vexlar {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::optional<double> ReadDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  const std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  // Digits that are all zeros make zero whatever the exponent, so the common
  // "0" needs no conversion.
  bool zero = true;
  for (std::size_t k = start; k < i && zero; ++k) zero = !IsDigit(text[k]) || text[k] == '0';
  if (zero) return text[start] == '-' ? -0.0 : 0.0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  // strtod sees only the decimal prefix found above, so it cannot take a
  // hexadecimal number, "inf" or "nan".
  const std::string number(text.substr(start, i - start));
  return std::strtod(number.c_str(), nullptr);
}

double ParseDecimal(std::string_view text) { return ReadDecimal(text).value_or(0); }

bool IsNotANumber(std::string_view text) {
  for (const char c : text) {
    if (!IsSpace(c)) return !ReadDecimal(text);
  }
  return false;
}

}  // namespace vexlar
