#include "dyno/number_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace vexlar {
namespace {

TEST(FormatNumberText, TenSignificantDigitsFixedOrExponential) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      // The reference table.
      {90, "90."},
      {0, "0."},
      {1, "1."},
      {0.75, "0.75"},
      {-12.5, "-12.5"},
      {1234.5678901234, "1234.56789"},
      {0.05, "5.e-002"},
      {12345678901, "1.23456789e+010"},
      // Exponent boundaries: -1 and 9 are still fixed.
      {0.1, "0.1"},
      {0.0999999999, "9.99999999e-002"},
      {999999999.9, "999999999.9"},
      {1e9, "1000000000."},
      {1e10, "1.e+010"},
      {1e-5, "1.e-005"},
      {1e-300, "1.e-300"},
      {4.9406564584124654e-324, "4.940656458e-324"},
      // The exponent is that of the rounded value.
      {9999999999.6, "1.e+010"},
      {9999999999.4, "9999999999."},
      {0.099999999999, "0.1"},
      // Rounding at the tenth digit.
      {1.23456789049, "1.23456789"},
      {1.23456789051, "1.234567891"},
      {-98765432109876.0, "-9.876543211e+013"},
      // Negative values.
      {-0.05, "-5.e-002"},
      {-1.234e-5, "-1.234e-005"},
      {-0.0, "0."},
      // Values the expansion cannot read but may compute.
      {std::numeric_limits<double>::infinity(), "inf"},
      {-std::numeric_limits<double>::infinity(), "-inf"},
      {std::numeric_limits<double>::quiet_NaN(), "nan"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.text, FormatNumberText(c.value)) << c.value;
  }
}

}  // namespace
}  // namespace vexlar
