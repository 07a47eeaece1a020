#include "dyno/number_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace vexlar {
namespace {

// Ten significant digits; fixed notation when the rounded value's exponent
// is -1 to 9 (9999999999.6 rounds up to 1e10), else "d.ddde+XXX" with three
// exponent digits; trailing zeros go, the point stays.
TEST(FormatNumberText, TenDigitsFixedOrExponentialAlwaysWithAPoint) {
  const double kInf = std::numeric_limits<double>::infinity();
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {-0.0, "0."},
      {-12.5, "-12.5"},
      {1.23456789051, "1.234567891"},
      {0.05, "5.e-002"},
      {0.1, "0.1"},
      {0.0999999999, "9.99999999e-002"},
      {1e9, "1000000000."},
      {1e10, "1.e+010"},
      {1e100, "1.e+100"},
      {-98765432109876.0, "-9.876543211e+013"},
      {4.9406564584124654e-324, "4.940656458e-324"},
      {9999999999.6, "1.e+010"},
      {9999999999.4, "9999999999."},
      {0.099999999999, "0.1"},
      {kInf, "inf"},
      {-kInf, "-inf"},
      {std::numeric_limits<double>::quiet_NaN(), "nan"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, FormatNumberText(c.value)) << c.value;
}

}  // namespace
}  // namespace vexlar
