#include "dyno/line_look.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace vexlar {

// A look ends before LF or CR LF (a lone CR is text) or after 255
// characters, a CR LF counting as one.
TEST(LineAt, StopsAtTheLineEndOrAfter255Characters) {
  const std::string x254(254, 'x'), x255(255, 'x');
  const std::tuple<std::string, std::size_t, std::string> cases[] = {
      {"abc\r\ndef", 1, "bc"},   {"a\rb\nc", 0, "a\rb"},
      {"abc\ndef", 4, "def"},    {"abc", 3, ""},
      {x255 + "yz", 0, x255},    {x254 + "\r\nz", 0, x254},
      {x255 + "\r\nz", 0, x255}, {"a\r", 0, "a\r"},
  };
  for (const auto& [bytes, position, look] : cases) {
    EXPECT_EQ(look, LineAt(bytes, position)) << bytes.substr(0, 9) << " @" << position;
  }
}

}  // namespace vexlar
