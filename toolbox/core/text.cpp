#include "core/text.hpp"

#include <cfenv>
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

void locase_in_place(char* text, std::size_t n) noexcept {
  for (std::size_t i = 0; i < n; ++i)
    if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] - 'A' + 'a');
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
