#include "fixed_digits.hpp"

#include <array>
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

constexpr std::array<std::uint64_t, short_path_decimals + 1> powers_of_ten{
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

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
  const Wide product = Wide{mantissa} * powers_of_ten[static_cast<std::size_t>(decimals)];
  const Wide whole = product >> shift;
  const Wide rest = product - (whole << shift);
  const Wide half = Wide{1} << (shift - 1);
  const bool up = rest > half || (rest == half && (whole & 1) != 0);
  return static_cast<std::uint64_t>(whole) + (up ? 1 : 0);
}

}  // namespace

FixedDigits::FixedDigits(double value, int decimals) {
  char* const begin = chars_.data();
  const double magnitude = std::fabs(value);
  if (!(magnitude < short_path_limit) || decimals < 0 || decimals > short_path_decimals) {
    // NaN, infinity, large numbers and unusual precisions: to_chars with a
    // precision rounds as printf's %f does.
    const auto [end, error] =
        std::to_chars(begin, begin + chars_.size(), value, std::chars_format::fixed, decimals);
    assert(error == std::errc{} && "the buffer holds any double");
    size_ = static_cast<std::size_t>(end - begin);
    return;
  }
  // Written from the last digit back, at the end of the buffer.
  std::uint64_t rounded = scaled_and_rounded(magnitude, decimals);
  char* const end = begin + chars_.size();
  char* first = end;
  for (int i = 0; i < decimals; ++i) {
    *--first = static_cast<char>('0' + rounded % 10);
    rounded /= 10;
  }
  if (decimals > 0) *--first = '.';
  do {
    *--first = static_cast<char>('0' + rounded % 10);
    rounded /= 10;
  } while (rounded != 0);
  if (std::signbit(value)) *--first = '-';
  first_ = static_cast<std::size_t>(first - begin);
  size_ = static_cast<std::size_t>(end - first);
}

}  // namespace cif2str
