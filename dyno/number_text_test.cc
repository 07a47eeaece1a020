#include "dyno/number_text.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/table_cases.h"

namespace vexlar {
namespace {

// Ten significant digits; fixed notation when the rounded value's exponent
// is -1 to 9 (9999999999.6 rounds up to 1e10), else "d.ddde+XXX" with three
// exponent digits; trailing zeros go, the point stays.
TEST(FormatNumberText, TenDigitsFixedOrExponentialAlwaysWithAPoint) {
  test::RunTableCases("dyno/number_text_cases.txt", [](const auto& in) {
    return FormatNumberText(std::strtod(in.at(0).c_str(), nullptr));
  });
}

}  // namespace
}  // namespace vexlar
