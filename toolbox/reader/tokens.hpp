// The token scanner and the conversion of numeric tokens.
#pragma once

#include <array>
#include <optional>
#include <span>

#include "reader/token_kind.hpp"

namespace zatrel {

// Advances past the next token of the data range and sets strval_, vallen_,
// itemtype_ (the text of the kind returned) and lastquote_.
TokenKind getstr();

// A token located by locate_token whose text and kind are not yet written.
struct PendingToken {
  int start = 0;  // its first column (the opening quote for a quoted one); 0: none
  char quote = ' ';
  // Its text, once next_directory_token has fetched the line after it; -1: not kept.
  int kept_length = -1;
  std::array<char, MAXBUF> kept;  // only kept_length bytes are ever read

  void point_at(int column, char opening) noexcept {
    start = column;
    quote = opening;
    kept_length = -1;
  }
};

// As getstr for a caller that needs only where tokens stand: vallen_,
// lastquote_ and the reading position are set at once, while strval_ and
// itemtype_ of the token are left to settle_token. Anything getstr would
// show before fetching a line or warning is settled first.
void locate_token(PendingToken& pending);

// Where a token stands in the current line: its first column and length.
struct TokenPlace {
  int column;
  int length;
};

// As up to places.size() calls of locate_token, while the tokens are bare
// words of the current line: it stops at the line's end, at a quoted string,
// a comment or a text field. Returns how many tokens it located; at 0,
// locate_token must go on. With kinds (as many as places), it also gives
// each token's exact kind and stops before a name or header, as calls of
// next_directory_token would have met them.
int locate_bare_words_in_line(PendingToken& pending, std::span<TokenPlace> places, std::span<TokenKind> kinds);
inline int locate_bare_words(PendingToken& pending, std::span<TokenPlace> places, std::span<TokenKind> kinds = {}) {
  const CoreState& c = state().core;
  if (c.curcol > 1 && c.curcol >= c.linelen) return 0;  // the line is used up
  return locate_bare_words_in_line(pending, places, kinds);
}

// As locate_token for data_'s directory: the kind of the next token, whose
// text a value leaves pending while names, headers and text lines are
// written at once. A value's kind tells a number from another word only when
// exact; a column already typed as text needs no more. A line fetched does
// not settle the pending value: its text is kept instead, since nothing in
// the directory's scan shows strval_ before the next token overwrites it.
TokenKind next_directory_token(PendingToken& pending, bool exact);

// As next_directory_token, except where the token is a bare word: then
// nothing is taken and the scanner is left just before it, for
// locate_bare_words to take it with the words after it; empty then.
std::optional<TokenKind> next_directory_token_unless_bare(PendingToken& pending);

// Writes the pending token's strval_ and itemtype_ as getstr would have. A
// kept text had a line fetched after it, whose "fini" in itemtype_ stays: only
// strval_ is written then.
void settle_token(PendingToken& pending);

// Converts strval_(1:vallen_) into the number value and uncertainty of the
// reader state; itemtype_ becomes "numb", or "char" when it is no number.
void ctonum();

// As ctonum, without its shortcut for plain numbers: the two must agree on
// every token, which the tests check.
void ctonum_by_scan();

}  // namespace zatrel
