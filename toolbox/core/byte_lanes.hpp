// Eight characters as the eight bytes of one word, tested all at once. The
// first character is the low byte: callers keep a character loop for
// big-endian machines.
#pragma once

#include <cstdint>
#include <cstring>

namespace zatrel::lanes {

inline constexpr std::uint64_t kOnes = 0x0101010101010101U;
inline constexpr std::uint64_t kHigh = 0x8080808080808080U;

inline std::uint64_t load_eight(const char* p) noexcept {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

inline constexpr std::uint64_t every_byte(char c) noexcept { return kOnes * static_cast<unsigned char>(c); }

// The high bit of each zero byte, and of no other.
inline constexpr std::uint64_t zero_bytes(std::uint64_t x) noexcept { return ~(((x & ~kHigh) + ~kHigh) | x) & kHigh; }

// The high bit of each byte that is c.
inline constexpr std::uint64_t bytes_equal(std::uint64_t x, char c) noexcept { return zero_bytes(x ^ every_byte(c)); }

// The high bit of each byte that is a digit '0'..'9'.
inline constexpr std::uint64_t digit_bytes(std::uint64_t x) noexcept {
  const std::uint64_t seven_bits = x & ~kHigh;
  return ((x | kHigh) - every_byte('0')) & ~(seven_bits + kOnes * (0x80 - '9' - 1)) & ~x & kHigh;
}

}  // namespace zatrel::lanes
