// A number as a D-format field shows it: sign, 0., digits, exponent.
#pragma once

#include <array>

namespace zatrel {

inline constexpr int kMaxFormatDigits = 17;

// value = (negative ? -1 : 1) * 0.d1 d2 ... dn * 10^exponent, the digits
// rounded to nearest from the exact binary value (as "(D30.n)" prints them).
// Zero has all digits 0 and exponent 0.
struct DFormat {
  bool negative = false;
  std::array<char, kMaxFormatDigits> digits{};
  int count = 0;
  int exponent = 0;
};

// A finite value with `digits` significant digits (1 to 17).
DFormat d_format(double value, int digits) noexcept;

}  // namespace zatrel
