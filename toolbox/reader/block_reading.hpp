// Moving the reader over the lines of the current block: four-letter codes, where
// the last token stands, text fields to pass over, and positions to return to.
#pragma once

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "core/state.hpp"
#include "core/text.hpp"

namespace zatrel {

// Value types, getlin's flags and itemtype_ are 4-character codes; comparing
// the four bytes is enough.
inline bool is_kind(const Flag4& kind, const char (&code)[5]) noexcept {
  return std::memcmp(kind.data(), code, 4) == 0;
}

// Text::assign for the hot path: two fixed-size copies instead of a fill loop.
template <std::size_t N>
inline void put_text(Text<N>& text, std::string_view s) noexcept {
  std::memcpy(text.data(), kBlanksOf<N>.data(), N);
  if (!s.empty()) std::memcpy(text.data(), s.data(), std::min(s.size(), N));
}

inline bool is_blank_or_tab(char c) noexcept { return c == ' ' || c == '\t'; }

// The character at position p of the current line; a blank outside it.
inline char line_char(int p) noexcept {
  return p >= 1 && p <= MAXBUF ? state().core.linebuf.col(static_cast<std::size_t>(p)) : ' ';
}

// Where the token the scanner returned last begins (its opening quote excluded).
inline int token_start() noexcept {
  const Visible& v = state().vis;
  return state().core.curcol - v.vallen_ - (v.lastquote_.col(1) == ' ' ? 0 : 1);
}

// Forgets the current block: no item, loop, text field or block bookmark is
// current any more. Called by data_ before it takes a block and by purge_.
void forget_block(State& s);

// Brings line n into linebuf through getlin; false when n lies beyond the block.
bool load_line(int n);

// As load_line, without a call when linebuf holds line n already (getlin's
// own test): values of one row are mostly on one line.
inline bool read_line(int n) {
  State& s = state();
  CoreState& core = s.core;
  const Visible& v = s.vis;
  if (n == core.bufline && n > v.firstline_ && n <= v.lastline_) {
    core.curline = n;
    core.curcol = 1;
    return true;
  }
  return load_line(n);
}

// What passing a text field does when the data ends before its closing line.
enum class AtDataEnd { fail, past_line_end };

// Passes over the lines of a text field up to its closing semicolon line and
// leaves curcol after the semicolon; at the end of data it either fails with
// " Unexpected end of data" or leaves curcol past the line end.
void pass_text_field(CoreState& core, AtDataEnd policy);

// A reading position with the text of its line, to come back to later.
struct ReadingPoint {
  int line = 0;
  int length = 0;
  int position = 0;
  int bufline = -1;
  int blockend = 0;
  Text<MAXBUF> text;

  // The reader's current line and position. The line's text is copied only
  // when it is not the one already held.
  void capture();
  // Back to the captured position; linebuf counts as holding that line only
  // when it did at capture.
  void restore() const;
};

}  // namespace zatrel
