#include "fixed_digits.hpp"

#include <bit>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace cif2str {
namespace {

// The short path takes magnitudes below 2^32 and up to 9 decimals: the
// rounded number times 10^decimals then stays below 2^63, and the exact
// product mantissa * 10^decimals below 2^83.
constexpr double short_path_limit = 4294967296.0;
constexpr int short_path_decimals = 9;

__extension__ typedef unsigned __int128 Wide;

// magnitude * 10^decimals rounded to a whole number, ties to even, from the
// exact binary value: magnitude is mantissa / 2^shift.
std::uint64_t scaled_and_rounded(double magnitude, int decimals) {
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const auto biased_exponent = static_cast<int>(bits >> 52);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  const bool subnormal = biased_exponent == 0;
  const std::uint64_t mantissa = subnormal ? fraction : fraction | std::uint64_t{1} << 52;
  // At least 21, for magnitude < 2^32.
  const int shift = subnormal ? 1074 : 1075 - biased_exponent;
  // Below 2^-74 the product is below 2^-45 and rounds to zero.
  if (shift >= 128) return 0;
  Wide product = mantissa;
  for (int i = 0; i < decimals; ++i) product *= 10;
  const Wide whole = product >> shift;
  const Wide rest = product - (whole << shift);
  const Wide half = Wide{1} << (shift - 1);
  const bool up = rest > half || (rest == half && (whole & 1) != 0);
  return static_cast<std::uint64_t>(whole) + (up ? 1 : 0);
}

}  // namespace

FixedDigits::FixedDigits(double value, int decimals) {
  char* out = chars_.data();
  const double magnitude = std::fabs(value);
  if (!(magnitude < short_path_limit) || decimals < 0 || decimals > short_path_decimals) {
    // NaN, infinity, large numbers and unusual precisions: to_chars with a
    // precision rounds as printf's %f does.
    const auto [end, error] =
        std::to_chars(out, out + chars_.size(), value, std::chars_format::fixed, decimals);
    assert(error == std::errc{} && "the buffer holds any double");
    size_ = static_cast<std::size_t>(end - out);
    return;
  }
  std::uint64_t rounded = scaled_and_rounded(magnitude, decimals);
  // The digits from the last, at least one before the point.
  std::array<char, 20> reversed;
  int count = 0;
  do {
    reversed[static_cast<std::size_t>(count++)] = static_cast<char>('0' + rounded % 10);
    rounded /= 10;
  } while (rounded != 0 || count <= decimals);
  if (std::signbit(value)) *out++ = '-';
  for (int i = count - 1; i >= decimals; --i) *out++ = reversed[static_cast<std::size_t>(i)];
  if (decimals > 0) {
    *out++ = '.';
    for (int i = decimals - 1; i >= 0; --i) *out++ = reversed[static_cast<std::size_t>(i)];
  }
  size_ = static_cast<std::size_t>(out - chars_.data());
}

}  // namespace cif2str
