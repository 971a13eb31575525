#include "core/line_coding.hpp"

#include <cstring>

namespace zatrel {

namespace {
constexpr char kRunMark = '`';
constexpr int kLongestRun = 63;
}  // namespace

int xxrle(std::string_view line, int n, char* encoded, int limit) noexcept {
  // encoded is addressed 1-based below, as the coding is described.
  char* out = encoded - 1;
  int o = 4;
  int s = 0;  // equal characters in a row, or -2 while a run is open, -1 after a full run
  if (n > static_cast<int>(line.size())) n = static_cast<int>(line.size());
  for (int i = 0; i < n; ++i) {
    const char c = line[static_cast<std::size_t>(i)];
    bool consumed = false;
    if (s == -2) {
      const int k = xxc2dig(out[o - 1]);
      if (c == out[o] && k <= kLongestRun - 1) {
        out[o - 1] = xxd2chr(k + 1);
        consumed = true;
      } else {
        s = (c == out[o]) ? -1 : 0;
      }
    }
    if (o >= limit) break;
    if (consumed) continue;
    out[++o] = c;
    if (o > 5) s = (c == out[o - 1]) ? s + 1 : 0;
    if (c == kRunMark && o < limit - 1) {
      out[++o] = xxd2chr(1);
      out[++o] = kRunMark;
      s = -2;
    }
    if (s == 2) {
      out[o - 2] = kRunMark;
      out[o - 1] = xxd2chr(3);
      s = -2;
    }
  }
  int length = o;
  for (int d = 4; d >= 1; --d) {
    out[d] = xxd2chr(length % 64);
    length /= 64;
  }
  return o;
}

int encoded_length(std::string_view encoded) noexcept {
  if (encoded.size() < 4) return 0;
  int length = 0;
  for (int d = 0; d < 4; ++d) length = length * 64 + xxc2dig(encoded[static_cast<std::size_t>(d)]);
  return length;
}

void xxrld(std::string_view encoded, char* out, int width) noexcept {
  std::memset(out, ' ', static_cast<std::size_t>(width));
  int length = encoded_length(encoded);
  if (length < 5) return;
  if (length > static_cast<int>(encoded.size())) length = static_cast<int>(encoded.size());
  int produced = 0;
  for (int i = 4; i < length && produced < width; ++i) {
    const char c = encoded[static_cast<std::size_t>(i)];
    if (c != kRunMark) {
      out[produced++] = c;
      continue;
    }
    if (i + 2 >= length) break;  // a run cut short by the length: nothing more to decode
    int count = xxc2dig(encoded[static_cast<std::size_t>(i) + 1]);
    const char repeated = encoded[static_cast<std::size_t>(i) + 2];
    i += 2;
    if (count > width - produced) count = width - produced;
    if (count > 0) {
      std::memset(out + produced, repeated, static_cast<std::size_t>(count));
      produced += count;
    }
  }
}

}  // namespace zatrel
