#include "core/line_coding.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "core/byte_lanes.hpp"
#include "core/text.hpp"

namespace zatrel {

namespace {

constexpr char kRunMark = '`';
constexpr int kLongestRun = 63;

// The coding character by character, exactly as described; it also honours
// a limit too small for the whole line.
int encode_by_character(std::string_view line, int n, char* encoded, int limit) noexcept {
  // Positions are 1-based below, as the coding is described.
  auto out = [encoded](int position) -> char& { return encoded[position - 1]; };
  int o = 4;
  int s = 0;  // equal characters in a row, or -2 while a run is open, -1 after a full run
  if (n > static_cast<int>(line.size())) n = static_cast<int>(line.size());
  for (int i = 0; i < n; ++i) {
    const char c = line[static_cast<std::size_t>(i)];
    bool consumed = false;
    if (s == -2) {
      const int k = xxc2dig(out(o - 1));
      if (c == out(o) && k <= kLongestRun - 1) {
        out(o - 1) = xxd2chr(k + 1);
        consumed = true;
      } else {
        s = (c == out(o)) ? -1 : 0;
      }
    }
    if (o >= limit) break;
    if (consumed) continue;
    out(++o) = c;
    if (o > 5) s = (c == out(o - 1)) ? s + 1 : 0;
    if (c == kRunMark && o < limit - 1) {
      out(++o) = xxd2chr(1);
      out(++o) = kRunMark;
      s = -2;
    }
    if (s == 2) {
      out(o - 2) = kRunMark;
      out(o - 1) = xxd2chr(3);
      s = -2;
    }
  }
  return o;
}

// The same coding, a run of equal characters at a time: runs of 3 to 63 become
// (backquote, count, character), shorter ones stay literal, and backquotes are
// always runs, from a count of 1.
// The high bit of each zero byte of v; exact up to the lowest such byte (a
// borrow may mark a byte above it), which is all a search for the first needs.
std::uint64_t low_zero_bytes(std::uint64_t v) noexcept { return (v - lanes::kOnes) & ~v & lanes::kHigh; }

// How many of the eight characters from p come before the first that is a
// backquote or starts three equal characters in a row (p[0..9] are read).
int literals_of_eight(const char* p) noexcept {
  const std::uint64_t x = lanes::load_eight(p);
  const std::uint64_t y = lanes::load_eight(p + 1);
  const std::uint64_t z = lanes::load_eight(p + 2);
  const std::uint64_t starts = low_zero_bytes((x ^ y) | (y ^ z)) | low_zero_bytes(x ^ lanes::every_byte(kRunMark));
  if constexpr (std::endian::native != std::endian::little) {
    int k = 0;
    while (k < 8 && p[k] != kRunMark && !(p[k] == p[k + 1] && p[k] == p[k + 2])) ++k;
    return k;
  }
  // The first column is the low byte.
  return starts == 0 ? 8 : std::countr_zero(starts) / 8;
}

// The characters from `from` (left of them before the end, fewer than ten),
// copied into tail with one after them that cannot extend a run.
const char* padded_tail(const char* from, int left, char (&tail)[16]) noexcept {
  std::memcpy(tail, from, static_cast<std::size_t>(left));
  tail[left] = static_cast<char>(tail[left - 1] ^ 1);
  return tail;
}

// Codes the run of equal characters at text[i] (a backquote or three or more
// alike); returns the position after it.
int encode_run(const char* text, int i, int n, char* encoded, int& o) noexcept {
  const char c = text[i];
  int m = 1;
  while (i + m < n && text[i + m] == c) ++m;
  i += m;
  while (m > 0) {
    if (m >= 3 || c == kRunMark) {
      const int k = m < kLongestRun ? m : kLongestRun;
      encoded[o++] = kRunMark;
      encoded[o++] = xxd2chr(k);
      encoded[o++] = c;
      m -= k;
    } else {
      encoded[o++] = c;
      if (m == 2) encoded[o++] = c;
      m = 0;
    }
  }
  return i;
}

// Needs room for 3 * n + 8 characters after the header: literals are copied
// eight at a time, of which only those before the next run count.
int encode_by_run(std::string_view line, int n, char* encoded) noexcept {
  const char* text = line.data();
  int o = 4;
  int i = 0;
  char tail[16] = {};
  while (i < n) {
    const int left = n - i;
    const char* from = left >= 10 ? text + i : padded_tail(text + i, left, tail);
    const int k = std::min(literals_of_eight(from), left);
    std::memcpy(encoded + o, from, 8);
    o += k;
    i += k;
    if (k < 8 && i < n) i = encode_run(text, i, n, encoded, o);
  }
  return o;
}

// Four base-64 digits, the most significant first.
void write_header(char* encoded, int length) noexcept {
  const auto digits = static_cast<unsigned>(length);
  encoded[0] = xxd2chr(static_cast<int>((digits >> 18) & 63U));
  encoded[1] = xxd2chr(static_cast<int>((digits >> 12) & 63U));
  encoded[2] = xxd2chr(static_cast<int>((digits >> 6) & 63U));
  encoded[3] = xxd2chr(static_cast<int>(digits & 63U));
}

// Blanks over the first width characters of out: the line buffer's width in one copy.
void blank_fill(char* out, int width) noexcept {
  if (width == MAXBUF)
    std::memcpy(out, kBlanksOf<MAXBUF>.data(), MAXBUF);
  else
    std::memset(out, ' ', static_cast<std::size_t>(width));
}

}  // namespace

int xxrle(std::string_view line, int n, char* encoded, int limit) noexcept {
  if (n > static_cast<int>(line.size())) n = static_cast<int>(line.size());
  if (n < 0) n = 0;
  // No character ever takes more than three: with room for that and the eight
  // characters the literals are copied by, run by run.
  const int length = 4 + 3 * n + 8 <= limit ? encode_by_run(line, n, encoded) : encode_by_character(line, n, encoded, limit);
  write_header(encoded, length);
  return length;
}

int xxrle_by_character(std::string_view line, int n, char* encoded, int limit) noexcept {
  if (n > static_cast<int>(line.size())) n = static_cast<int>(line.size());
  const int length = encode_by_character(line, n, encoded, limit);
  write_header(encoded, length);
  return length;
}

int encoded_length(std::string_view encoded) noexcept {
  if (encoded.size() < 4) return 0;
  const auto digit = [encoded](std::size_t d) { return xxc2dig(encoded[d]); };
  return ((digit(0) * 64 + digit(1)) * 64 + digit(2)) * 64 + digit(3);
}

int xxrld(std::string_view encoded, char* out, int width) noexcept {
  blank_fill(out, width);
  int length = encoded_length(encoded);
  if (length < 5) return 0;
  if (length > static_cast<int>(encoded.size())) length = static_cast<int>(encoded.size());
  int produced = 0;
  for (int i = 4; i < length && produced < width; ++i) {
    const char c = encoded[static_cast<std::size_t>(i)];
    if (c != kRunMark) {
      // Copy the whole stretch of literal characters up to the next run.
      const char* from = encoded.data() + i;
      const void* mark = std::memchr(from, kRunMark, static_cast<std::size_t>(length - i));
      int span = mark == nullptr ? length - i : static_cast<int>(static_cast<const char*>(mark) - from);
      if (span > width - produced) span = width - produced;
      std::memcpy(out + produced, from, static_cast<std::size_t>(span));
      produced += span;
      i += span - 1;
      continue;
    }
    if (i + 2 >= length) break;  // a run cut short by the length: nothing more to decode
    int count = xxc2dig(encoded[static_cast<std::size_t>(i) + 1]);
    const char repeated = encoded[static_cast<std::size_t>(i) + 2];
    i += 2;
    if (count > width - produced) count = width - produced;
    if (count > 0) {
      // Most runs are of blanks, which the fill has written already.
      if (repeated != ' ') std::memset(out + produced, repeated, static_cast<std::size_t>(count));
      produced += count;
    }
  }
  return produced;
}

}  // namespace zatrel
