// SHA-256 of a byte string, for tests that compare large outputs with a
// recorded digest instead of a checked-in copy.
#ifndef VEXLAR_TESTS_SHA256_H_
#define VEXLAR_TESTS_SHA256_H_

#include <string>
#include <string_view>

namespace vexlar::test {

/// The SHA-256 digest of `bytes` as 64 lower-case hexadecimal digits, as
/// sha256sum prints it.
std::string Sha256Hex(std::string_view bytes);

}  // namespace vexlar::test

#endif  // VEXLAR_TESTS_SHA256_H_
