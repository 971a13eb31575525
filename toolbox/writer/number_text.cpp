#include "writer/number_text.hpp"


namespace zatrel {

void NumberText::append_int(long long value) noexcept {
  if (value < 0) push('-');
  // Digits from the last, in an unsigned magnitude (so the most negative value has one too).
  const auto bits = static_cast<unsigned long long>(value);
  unsigned long long magnitude = value < 0 ? 0ULL - bits : bits;
  char digits[24];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (n > 0) push(digits[--n]);
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
