// FixedDigits against std::to_chars with the same precision, the formatter
// it stands in for: on edge values, exact decimal ties and their neighbours,
// and many random doubles.
#include "fixed_digits.hpp"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace cif2str {
namespace {

std::string reference(double value, int decimals) {
  std::array<char, 400> chars;
  const auto result = std::to_chars(chars.data(), chars.data() + chars.size(), value,
                                    std::chars_format::fixed, decimals);
  return {chars.data(), result.ptr};
}

::testing::AssertionResult agrees(double value, int decimals) {
  const std::string expected = reference(value, decimals);
  const std::string got(FixedDigits(value, decimals).text());
  if (got == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << std::hexfloat << value << " to " << decimals
                                       << " places: \"" << got << "\", to_chars \"" << expected
                                       << '"';
}

TEST(FixedDigits, EdgeValuesAsToChars) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  const double values[] = {0.0, -0.0, 1.0, -1.0, 0.5, -0.5, 1e-300, -1e-300,
                           std::numeric_limits<double>::denorm_min(),
                           std::numeric_limits<double>::min(), std::numeric_limits<double>::max(),
                           -std::numeric_limits<double>::max(), inf, -inf,
                           std::numeric_limits<double>::quiet_NaN(),
                           -std::numeric_limits<double>::quiet_NaN(),
                           4294967296.0, std::nextafter(4294967296.0, 0.0), -4294967295.5,
                           9.999995, 0.999995, 0.000005, -0.000005, 99999.999995, 1e15, 123.4};
  for (const double value : values)
    for (int decimals = -1; decimals <= 12; ++decimals) EXPECT_TRUE(agrees(value, decimals));
}

// x * 10^d is exactly halfway between two whole numbers when x is an odd
// multiple of 2^-(d+1); the doubles next to such a tie must not round as it.
TEST(FixedDigits, DecimalTiesAndTheirNeighboursAsToChars) {
  std::mt19937_64 random(20261209);
  for (int decimals = 0; decimals <= 9; ++decimals) {
    for (int i = 0; i < 20000; ++i) {
      const auto odd = static_cast<double>((random() % (std::uint64_t{1} << 40)) | 1);
      const double tie = std::ldexp(odd, -(decimals + 1));
      for (const double value : {tie, std::nextafter(tie, 0.0), std::nextafter(tie, 1e300)}) {
        ASSERT_TRUE(agrees(value, decimals));
        ASSERT_TRUE(agrees(-value, decimals));
      }
    }
  }
}

TEST(FixedDigits, RandomDoublesAsToChars) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> small(-10.0, 10.0);
  for (int i = 0; i < 1000000; ++i) {
    const int decimals = static_cast<int>(random() % 11);
    ASSERT_TRUE(agrees(small(random), decimals));
    // Any bit pattern: every exponent, NaNs and infinities included.
    ASSERT_TRUE(agrees(std::bit_cast<double>(random()), decimals));
    // Magnitudes spread evenly over the short path's exponents.
    const double spread = std::ldexp(small(random), static_cast<int>(random() % 120) - 88);
    ASSERT_TRUE(agrees(spread, 5));
  }
}

}  // namespace
}  // namespace cif2str
