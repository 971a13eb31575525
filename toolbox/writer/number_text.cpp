#include "writer/number_text.hpp"

#include <charconv>

namespace zatrel {

void NumberText::append_int(long long value) noexcept {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  append(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void NumberText::insert(int at, char c, int count) noexcept {
  if (at < 0 || at > n_ || count <= 0) return;
  count = count < kCapacity - n_ ? count : kCapacity - n_;
  char* const text = chars_.data();
  for (int i = n_ - 1; i >= at; --i) text[i + count] = text[i];
  for (int i = 0; i < count; ++i) text[at + i] = c;
  n_ += count;
}

}  // namespace zatrel
