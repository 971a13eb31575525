#include "core/text.hpp"

#include <cfenv>
#include <cstdint>
#include <cstring>

#include "core/state.hpp"

namespace zatrel {

int lastnb(std::string_view text, int n) {
  if (n <= 0) return n;
  if (static_cast<std::size_t>(n) > text.size()) n = static_cast<int>(text.size());
  // Blank padding is skipped eight characters at a time.
  while (n > 8 && std::memcmp(text.data() + n - 8, "        ", 8) == 0) n -= 8;
  while (n > 1 && text[static_cast<std::size_t>(n) - 1] == ' ') --n;
  return n < 1 ? 1 : n;
}

namespace {

// The capitals (bytes 65..90) among eight characters gain 32; no other byte changes.
std::uint64_t lower_case_word(std::uint64_t word) noexcept {
  constexpr std::uint64_t ones = 0x0101010101010101U;
  constexpr std::uint64_t high = 0x8080808080808080U;
  const std::uint64_t low7 = word & ~high;
  const std::uint64_t above_z = low7 + ones * (0x7F - 'Z');
  const std::uint64_t from_a = low7 + ones * (0x80 - 'A');
  const std::uint64_t capital = (from_a ^ above_z) & ~word & high;
  return word | capital >> 2;
}

void lower_case_eight(char* text) noexcept {
  std::uint64_t word;
  std::memcpy(&word, text, 8);
  word = lower_case_word(word);
  std::memcpy(text, &word, 8);
}

}  // namespace

// Names are turned for every value request and every name a block holds, so
// eight characters at a time; the last eight overlap the ones before, which
// come out the same again.
void locase_in_place(char* text, std::size_t n) noexcept {
  if (n < 8) {
    for (std::size_t i = 0; i < n; ++i)
      if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] - 'A' + 'a');
    return;
  }
  for (std::size_t i = 0; i + 8 <= n; i += 8) lower_case_eight(text + i);
  lower_case_eight(text + n - 8);
}

namespace {
std::string case_copy(std::string_view text, bool lower) {
  std::string out(std::size_t{MAXBUF}, ' ');
  std::size_t n = text.size() < out.size() ? text.size() : out.size();
  for (std::size_t i = 0; i < n; ++i) {
    char c = text[i];
    if (lower && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (!lower && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    out[i] = c;
  }
  return out;
}
}  // namespace

std::string locase(std::string_view text) { return case_copy(text, true); }
std::string upcase(std::string_view text) { return case_copy(text, false); }

int tab_expanded_column(std::string_view line, int p) {
  int c = 0;
  for (int i = 1; i <= p; ++i) {
    ++c;
    if (static_cast<std::size_t>(i) <= line.size() && line[static_cast<std::size_t>(i) - 1] == '\t')
      c = (c + 7) / 8 * 8;
  }
  return c;
}

void detab() {
  CoreState& core = state().core;
  if (core.tabline == core.curline) return;
  const std::string_view line = core.linebuf.view();
  const int n = core.linelen < 0 ? 0 : (core.linelen > MAXBUF ? MAXBUF : core.linelen);
  char* out = core.tabbuf.data();
  std::memset(out, ' ', MAXBUF);
  int c = 1;  // next output column
  int p = 1;  // next input position
  for (;;) {
    int t = p;
    while (t <= n && line[static_cast<std::size_t>(t) - 1] != '\t') ++t;
    if (t > n) break;
    const int tab_column = c + (t - p);
    // The character after the tab goes to the first stop 8m+1 beyond the tab's column.
    const int stop = ((tab_column - 1) / 8 + 1) * 8 + 1;
    if (stop > MAXBUF) break;
    for (int i = p; i < t; ++i) out[c + (i - p) - 1] = line[static_cast<std::size_t>(i) - 1];
    c = stop;
    p = t + 1;
  }
  for (int i = p; i <= n && c <= MAXBUF; ++i, ++c) out[c - 1] = line[static_cast<std::size_t>(i) - 1];
  core.tabline = core.curline;
}

void clearfp() { std::feclearexcept(FE_ALL_EXCEPT); }

}  // namespace zatrel
