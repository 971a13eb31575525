#include "writer/d_format.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zatrel {

DFormat d_format(double value, int digits) noexcept {
  DFormat d;
  d.count = std::clamp(digits, 1, kMaxFormatDigits);
  d.negative = std::signbit(value);
  if (value == 0.0) {
    d.digits.fill('0');
    return d;
  }
  // Scientific form d.ddd...e±xx with the same digits; its exponent is one
  // less than that of the 0.ddd form.
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value < 0 ? -value : value,
                                    std::chars_format::scientific, d.count - 1);
  const char* p = text;
  int k = 0;
  for (; p != result.ptr && *p != 'e'; ++p)
    if (*p != '.') d.digits.data()[k++] = *p;
  int exponent = 0;
  if (p != result.ptr) std::from_chars(p + (p[1] == '+' ? 2 : 1), result.ptr, exponent);
  d.exponent = exponent + 1;
  return d;
}

}  // namespace zatrel
