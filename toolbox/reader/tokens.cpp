#include "reader/tokens.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#include "core/byte_lanes.hpp"
#include "core/diagnostics.hpp"
#include "core/scratch.hpp"
#include "core/state.hpp"
#include "core/text.hpp"
#include "reader/block_reading.hpp"

namespace zatrel {

namespace {

// Characters a number may be written with; a word holding anything else is text.
constexpr std::string_view kShapeTable = "0123456789+-.()EDQedq";

// The shape test keeps one count per kind of character, packed into the bytes
// of one word so that a character costs one table look-up and one addition; a
// word has at most 200 characters, so no count overflows its byte.
enum ShapeCount : unsigned { digits, plus, minus, points, opening, closing, foreign, needing_digit };
constexpr std::uint64_t count_of(ShapeCount kind) { return std::uint64_t{1} << (8 * kind); }
constexpr unsigned counted(std::uint64_t counts, ShapeCount kind) { return (counts >> (8 * kind)) & 0xFF; }

constexpr std::array<std::uint64_t, 256> shape_increments() {
  std::array<std::uint64_t, 256> increments{};
  increments.fill(count_of(foreign));
  for (std::size_t k = 0; k < kShapeTable.size(); ++k) {
    const auto c = static_cast<unsigned char>(kShapeTable[k]);
    if (k < 10) increments[c] = count_of(digits);
    else if (c == '+') increments[c] = count_of(plus);
    else if (c == '-') increments[c] = count_of(minus);
    else if (c == '.') increments[c] = count_of(points);
    else if (c == '(') increments[c] = count_of(opening) | count_of(needing_digit);
    else if (c == ')') increments[c] = count_of(closing) | count_of(needing_digit);
    else increments[c] = count_of(needing_digit);  // exponent letters, not limited in number
  }
  return increments;
}
constexpr std::array<std::uint64_t, 256> kShapeIncrement = shape_increments();

// A bare word is a number when it holds only number characters, no
// parenthesis or exponent letter before its first digit, at most two of each
// sign and at most one point and one of each parenthesis.
class NumberShape {
 public:
  void add(char c) {
    const std::uint64_t increment = kShapeIncrement[static_cast<unsigned char>(c)];
    if ((increment & count_of(needing_digit)) != 0 && counted(counts_, digits) == 0) too_early_ = true;
    counts_ += increment;
  }
  // A character that no number holds decides it.
  bool hopeless() const { return (counts_ & (std::uint64_t{0xFF} << (8 * foreign))) != 0; }
  bool number() const {
    return !too_early_ && counted(counts_, foreign) == 0 && counted(counts_, plus) <= 2 &&
           counted(counts_, minus) <= 2 && counted(counts_, points) <= 1 && counted(counts_, opening) <= 1 &&
           counted(counts_, closing) <= 1;
  }

 private:
  std::uint64_t counts_ = 0;
  bool too_early_ = false;
};

// The texts of the token kinds, prebuilt: one is stored for every token.
const std::array<Flag4, 10> kKindTexts{Flag4("name"), Flag4("loop"), Flag4("data"), Flag4("save"), Flag4("glob"),
                                       Flag4("numb"), Flag4("char"), Flag4("text"), Flag4("null"), Flag4("fini")};

// The flag getlin gives at the end of the data.
const Flag4 kEndOfData("fini");

TokenKind show(Visible& v, TokenKind kind) {
  v.itemtype_ = kind_text(kind);
  return kind;
}

// The current line as the scanner sees it: columns 1..length.
class CurrentLine {
 public:
  explicit CurrentLine(CoreState& core)
      : chars_(core.linebuf.data()), length_(clamped(core.linelen)), tab_(core.tab) {}

  int length() const { return length_; }
  char at(int column) const { return chars_[column - 1]; }
  bool gap(int column) const { return at(column) == ' ' || at(column) == tab_; }
  std::string_view columns(int first, int last) const {
    if (last < first) return {};
    return {chars_ + first - 1, static_cast<std::size_t>(last - first + 1)};
  }
  // First gap at or after column, else length + 1.
  int word_end(int column) const {
    if constexpr (std::endian::native == std::endian::little) {
      // Eight columns a step while they lie inside the line.
      for (; column + 7 <= length_; column += 8) {
        const std::uint64_t gaps = gap_bytes(column);
        if (gaps != 0) return column + std::countr_zero(gaps) / 8;
      }
    }
    while (column <= length_ && !gap(column)) ++column;
    return column;
  }
  // First column at or after column that is not a gap, else length + 1.
  int next_nongap(int column) const {
    // Mostly one blank stands between tokens.
    if (column <= length_ && !gap(column)) return column;
    if constexpr (std::endian::native == std::endian::little) {
      for (; column + 7 <= length_; column += 8) {
        const std::uint64_t others = ~gap_bytes(column) & lanes::kHigh;
        if (others != 0) return column + std::countr_zero(others) / 8;
      }
    }
    while (column <= length_ && gap(column)) ++column;
    return column;
  }

 private:
  // The high bit of each gap among columns column..column+7.
  std::uint64_t gap_bytes(int column) const {
    const std::uint64_t word = lanes::load_eight(chars_ + column - 1);
    return lanes::bytes_equal(word, ' ') | lanes::bytes_equal(word, tab_);
  }
  static int clamped(int n) { return n < 0 ? 0 : (n > MAXBUF ? MAXBUF : n); }
  const char* chars_;
  int length_;
  char tab_;
};

// Fetches the next line; false at the end of the data range. Whatever the
// dictionary said about the last item no longer applies.
bool next_token_line(Visible& v) {
  Text<4> flag;  // getlin leaves it alone when the line is already in place
  getlin(flag);
  show(v, TokenKind::fini);
  // Literals of known length, not static texts: no guard to test on every line.
  v.dicttype_ = std::string_view("fini");
  v.dictcat_ = std::string_view("(none)");
  v.dictname_.clear();
  return !(flag == kEndOfData);
}

// Copies the token into strval_ in one move, blank-filling the rest: this runs
// for every token of a file.
void set_token(CoreState& core, Visible& v, const CurrentLine& line, int first, int end) {
  const std::string_view token = line.columns(first, end - 1);
  char* out = v.strval_.data();
  std::memcpy(out, kBlanksOf<MAXBUF>.data(), MAXBUF);  // a fixed size: plain vector stores
  if (!token.empty()) std::memcpy(out, token.data(), token.size());
  v.vallen_ = static_cast<int>(token.size());
  core.curcol = end;
}

TokenKind take_text_line(CoreState& core, Visible& v, const CurrentLine& line) {
  set_token(core, v, line, 1, line.length() + 1);
  v.strval_.col(1) = ' ';
  return show(v, TokenKind::text);
}

// The string closes at the first quote that ends the line or stands before a
// gap, so quotes inside words (it's) stay part of it.
int quote_end(const CurrentLine& line, int first, char quote) {
  int j = first;
  while (j <= line.length() && !(line.at(j) == quote && (j == line.length() || line.gap(j + 1)))) ++j;
  return j;
}

TokenKind take_quoted(CoreState& c, Visible& v, const CurrentLine& line, char quote) {
  show(v, TokenKind::chars);
  const int first = ++c.curcol;
  const int j = quote_end(line, first, quote);
  set_token(c, v, line, first, j);
  if (j > line.length()) {
    // Unclosed: curcol stays just past the text, where an unquoted token
    // would leave it, since lastquote_ stays blank.
    warn(" Quoted string not closed");
    return TokenKind::chars;
  }
  v.lastquote_ = std::string_view(&quote, 1);
  c.curcol = j + 1;
  return TokenKind::chars;
}

// The kind of an unquoted word that is no number.
TokenKind word_kind(std::string_view word) {
  if (word.starts_with("data_")) return TokenKind::data;
  if (word.starts_with("loop_")) return TokenKind::loop;
  if (word == "?" || word == ".") return TokenKind::null;
  if (word.starts_with("save_")) return TokenKind::save;
  if (word == "global_") return TokenKind::glob;
  return TokenKind::chars;
}

bool shaped_as_number(std::string_view word) {
  NumberShape shape;
  for (const char ch : word) {
    shape.add(ch);
    if (shape.hopeless()) return false;
  }
  return shape.number();
}

// The kind of the bare word in columns first..end-1. Unless exact, a word
// shaped as a number is not told from any other word (both are values).
TokenKind bare_word_kind(const CurrentLine& line, int first, int end, bool exact) {
  if (line.at(first) == '_') return TokenKind::name;
  const std::string_view word = line.columns(first, end - 1);
  if (exact && shaped_as_number(word)) return TokenKind::numb;
  return word_kind(word);
}

TokenKind take_bare_word(CoreState& c, Visible& v, const CurrentLine& line) {
  const int first = c.curcol;
  const int end = line.word_end(first);
  set_token(c, v, line, first, end);
  return show(v, bare_word_kind(line, first, end, true));
}

}  // namespace

const Flag4& kind_text(TokenKind kind) noexcept { return kKindTexts[static_cast<std::size_t>(kind)]; }

namespace {

// The pending token's text as it stands in the current line.
std::string_view pending_text(const CurrentLine& line, const PendingToken& pending) {
  if (pending.quote != ' ') {
    const int first = pending.start + 1;
    return line.columns(first, quote_end(line, first, pending.quote) - 1);
  }
  return line.columns(pending.start, line.word_end(pending.start) - 1);
}

// Before the line buffer takes the next line: the pending token's text is
// copied out of it, unless kept already.
void keep_pending_text(PendingToken& pending) {
  if (pending.start == 0 || pending.kept_length >= 0) return;
  const std::string_view text = pending_text(CurrentLine(state().core), pending);
  if (!text.empty()) std::memcpy(pending.kept.data(), text.data(), text.size());  // '' has no data
  pending.kept_length = static_cast<int>(text.size());
}

}  // namespace

void settle_token(PendingToken& pending) {
  if (pending.start == 0) return;
  State& s = state();
  CoreState& c = s.core;
  Visible& v = s.vis;
  if (pending.kept_length >= 0) {
    put_text(v.strval_, std::string_view(pending.kept.data(), static_cast<std::size_t>(pending.kept_length)));
    pending.point_at(0, ' ');
    return;
  }
  // Scanned again from its start; the position and quote reached since stay.
  const int curcol = c.curcol;
  const char lastquote = v.lastquote_.col(1);
  const CurrentLine line(c);
  c.curcol = pending.start;
  if (pending.quote != ' ')
    take_quoted(c, v, line, pending.quote);
  else
    take_bare_word(c, v, line);
  c.curcol = curcol;
  v.lastquote_.col(1) = lastquote;
  pending.point_at(0, ' ');
}

namespace {

enum class TokenStart { text_line, end_of_data, token };

// Walks past gaps and comments to the next token, fetching lines as needed;
// before_fetch runs before each fetch. A text line is taken whole here; a
// token leaves curcol on its first character.
template <typename BeforeFetch>
TokenStart walk_to_token(CoreState& c, Visible& v, BeforeFetch before_fetch) {
  // A line just fetched by the caller and not yet scanned.
  bool entering = c.curline > 0 && c.curcol <= 1 && c.linelen > 0;
  int consumed = entering ? 0 : (c.curcol < 0 ? 0 : c.curcol);
  for (;;) {
    const CurrentLine line(c);
    if (entering) {
      entering = false;
      // A semicolon opens or closes a text field only in column 1 of a line entered.
      if (line.length() > 0 && line.at(1) == ';') {
        take_text_line(c, v, line);
        return TokenStart::text_line;
      }
    }
    const int column = consumed < line.length() ? line.next_nongap(consumed + 1) : line.length() + 1;
    // Past the end of the line, or at a comment, which runs to its end.
    if (column > line.length() || line.at(column) == '#') {
      before_fetch();
      if (!next_token_line(v)) return TokenStart::end_of_data;
      entering = true;
      consumed = 0;
      continue;
    }
    c.curcol = column;
    return TokenStart::token;
  }
}

}  // namespace

void locate_token(PendingToken& pending) {
  State& s = state();
  CoreState& c = s.core;
  Visible& v = s.vis;
  v.lastquote_.clear();
  const TokenStart start = walk_to_token(c, v, [&pending] { settle_token(pending); });
  if (start == TokenStart::end_of_data) return;
  // The token found replaces the pending one, as getstr overwrites it.
  pending.point_at(0, ' ');
  if (start == TokenStart::text_line) return;
  const CurrentLine line(c);
  const int column = c.curcol;
  const char ch = line.at(column);
  if (ch == '\'' || ch == '"') {
    const int j = quote_end(line, column + 1, ch);
    if (j > line.length()) {
      take_quoted(c, v, line, ch);  // warns
      return;
    }
    pending.point_at(column, ch);
    v.vallen_ = j - column - 1;
    v.lastquote_.col(1) = ch;
    c.curcol = j + 1;
    return;
  }
  const int end = line.word_end(column);
  pending.point_at(column, ' ');
  v.vallen_ = end - column;
  c.curcol = end;
}

int locate_bare_words_in_line(PendingToken& pending, std::span<TokenPlace> places, std::span<TokenKind> kinds) {
  State& s = state();
  CoreState& c = s.core;
  if (c.curline <= 0) return 0;
  const CurrentLine line(c);
  // As walk_to_token: a line just fetched is scanned from its start, and
  // there a semicolon opens a text field.
  const bool entering = c.curcol <= 1 && line.length() > 0;
  if (entering && line.at(1) == ';') return 0;
  int consumed = entering ? 0 : std::max(c.curcol, 0);
  const bool with_kinds = !kinds.empty();
  std::size_t found = 0;
  int column = 0;
  int end = 0;
  while (found < places.size() && consumed < line.length()) {
    const int next = line.next_nongap(consumed + 1);
    // A quote or comment mark counts only where a token would begin.
    if (next > line.length() || line.at(next) == '\'' || line.at(next) == '"' || line.at(next) == '#') break;
    const int next_end = line.word_end(next);
    if (with_kinds) {
      const TokenKind kind = bare_word_kind(line, next, next_end, true);
      if (!is_value(kind)) break;  // a name or header: written at once, by next_directory_token
      kinds[found] = kind;
    }
    column = next;
    end = next_end;
    places[found++] = {column, end - column};
    consumed = end;
  }
  if (found == 0) return 0;
  // The state the last of these locate_token calls leaves.
  s.vis.lastquote_.clear();
  s.vis.vallen_ = end - column;
  c.curcol = end;
  pending.point_at(column, ' ');
  return static_cast<int>(found);
}

namespace {

// next_directory_token, or with stop_before_bare its variant that leaves a
// bare word for the caller to take with its line's others (empty then).
template <bool stop_before_bare>
std::optional<TokenKind> next_directory_kind(PendingToken& pending, bool exact) {
  State& s = state();
  CoreState& c = s.core;
  Visible& v = s.vis;
  v.lastquote_.clear();
  switch (walk_to_token(c, v, [&pending] { keep_pending_text(pending); })) {
    case TokenStart::text_line:
      pending.point_at(0, ' ');
      return TokenKind::text;
    case TokenStart::end_of_data:
      return TokenKind::fini;
    case TokenStart::token:
      break;
  }
  // The token found replaces the pending one, as getstr overwrites it.
  pending.point_at(0, ' ');
  const CurrentLine line(c);
  const int column = c.curcol;
  const char ch = line.at(column);
  if (ch == '\'' || ch == '"') {
    const int j = quote_end(line, column + 1, ch);
    if (j > line.length()) return take_quoted(c, v, line, ch);  // warns
    pending.point_at(column, ch);
    v.vallen_ = j - column - 1;
    v.lastquote_.col(1) = ch;
    c.curcol = j + 1;
    return TokenKind::chars;
  }
  if constexpr (stop_before_bare) {
    // Just before it, so that a scan of the line from there meets it first.
    c.curcol = column - 1;
    return std::nullopt;
  }
  const int end = line.word_end(column);
  const TokenKind kind = bare_word_kind(line, column, end, exact);
  // Names and headers are read from strval_ at once.
  if (!is_value(kind)) return take_bare_word(c, v, line);
  pending.point_at(column, ' ');
  v.vallen_ = end - column;
  c.curcol = end;
  return kind;
}

}  // namespace

TokenKind next_directory_token(PendingToken& pending, bool exact) {
  return *next_directory_kind<false>(pending, exact);
}

std::optional<TokenKind> next_directory_token_unless_bare(PendingToken& pending) {
  return next_directory_kind<true>(pending, true);
}

TokenKind getstr() {
  State& s = state();
  CoreState& c = s.core;
  Visible& v = s.vis;
  v.lastquote_.clear();
  switch (walk_to_token(c, v, [] {})) {
    case TokenStart::text_line:
      return TokenKind::text;
    case TokenStart::end_of_data:
      return TokenKind::fini;
    case TokenStart::token:
      break;
  }
  const CurrentLine line(c);
  const char ch = line.at(c.curcol);
  if (ch == '\'' || ch == '"') return take_quoted(c, v, line, ch);
  return take_bare_word(c, v, line);
}

}  // namespace zatrel
