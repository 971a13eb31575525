// The value operations: char_ (text fields line by line), numb_, numd_, test_.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/scratch.hpp"
#include "core/text.hpp"
#include "reader/block_reading.hpp"
#include "reader/item_reader.hpp"

namespace zatrel {

namespace {

// The value cut again from the line with its tabs expanded: each tab inside it
// widens it to the next stop.
void expand_tabs_of_value(Visible& v, CoreState& core) {
  int first = core.curcol - v.vallen_;
  // After a quoted value curcol stands past its closing quote. An unclosed
  // one (lastquote_ blank) begins, as the scanner leaves it, at its first
  // character after the quote, although "one further left after a quoted
  // value" would take the quote in; the scanner's positions are kept.
  if (v.lastquote_.col(1) != ' ' && line_char(core.curcol - 1) == v.lastquote_.col(1)) --first;
  first = std::clamp(first, 1, MAXBUF);
  const int last = std::min(first + v.vallen_ - 1, MAXBUF);
  if (std::memchr(core.linebuf.data(), '\t', static_cast<std::size_t>(last)) == nullptr) return;
  detab();
  const std::string_view line = core.linebuf.view();
  // A leading tab is blank from the column after the text before it.
  const int from = tab_expanded_column(line, first - 1) + 1;
  const int to = std::min(tab_expanded_column(line, last), MAXBUF);
  const int width = from > MAXBUF ? 0 : std::max(to - from + 1, 0);
  if (width > 0)
    v.strval_ =
        core.tabbuf.view().substr(static_cast<std::size_t>(from) - 1, static_cast<std::size_t>(width));
  else
    v.strval_.clear();
  if (first == 1 && line_char(1) == ';') v.strval_.col(1) = ' ';
  v.vallen_ = width;
}

void give_text(State& s, std::string& text) {
  Visible& v = s.vis;
  if (v.vallen_ > 0 && v.intabs_) expand_tabs_of_value(v, s.core);
  text.assign(v.strval_.data(), static_cast<std::size_t>(std::clamp(v.vallen_, 0, MAXBUF)));
}

// After a line of a text field: does another follow? The closing semicolon
// line is consumed; any other line is left to be read again.
void look_ahead_in_text_field(State& s) {
  CoreState& core = s.core;
  Flag4 flag;
  getlin(flag);
  core.curcol = kPastLineEnd;
  if (is_kind(flag, "fini")) return;
  if (core.linebuf.col(1) == ';') {
    core.curcol = 2;
    return;
  }
  --core.curline;
  s.vis.intext_ = true;
}

bool deliver(State& s, std::string& text) {
  Visible& v = s.vis;
  v.intext_ = false;
  give_text(s, text);
  if (is_kind(v.itemtype_, "char")) return true;
  if (!is_kind(v.itemtype_, "text")) return false;
  look_ahead_in_text_field(s);
  return true;
}

bool deliver_unless_null(State& s, std::string& text) {
  Visible& v = s.vis;
  if (!is_kind(v.itemtype_, "null")) return deliver(s, text);
  v.intext_ = false;
  v.strval_.clear();
  v.vallen_ = 0;
  text.clear();
  return false;
}

bool fetch(State& s, ReaderState::RecentKey& key, std::string& text) {
  getitm(key);
  return deliver_unless_null(s, text);
}

bool next_text_line(State& s, std::string& text) {
  Visible& v = s.vis;
  CoreState& core = s.core;
  v.intext_ = false;
  text.clear();
  v.vallen_ = 0;
  Flag4 flag;
  getlin(flag);
  if (is_kind(flag, "fini")) return false;
  if (core.linebuf.col(1) == ';') {
    core.curcol = 2;
    return false;
  }
  v.lastquote_.clear();
  core.curcol = core.linelen + 1;
  v.vallen_ = core.linelen;
  v.strval_ = core.linebuf.view();
  return deliver(s, text);
}

// Rounded to single precision; beyond its range, an infinity.
float to_single(double x) {
  constexpr float infinity = std::numeric_limits<float>::infinity();
  if (std::isfinite(x) && std::fabs(x) > std::numeric_limits<float>::max())
    return x > 0 ? infinity : -infinity;
  return static_cast<float>(x);
}

}  // namespace

bool char_(std::string_view name, std::string& text) {
  State& s = state();
  ReaderState& r = s.reader;
  ReaderState::RecentKey& k = name_key(name);
  bool found;
  if (r.lasttest) {
    // The value test_ fetched; a null one answers as if fetched now.
    found = same_name(k.key, r.lastname) ? deliver_unless_null(s, text) : fetch(s, k, text);
  } else if (s.vis.intext_ && same_name(k.key, r.lastname)) {
    found = next_text_line(s, text);
  } else {
    found = fetch(s, k, text);
  }
  r.lasttest = false;
  return found;
}

bool numd_(std::string_view name, double& value, double& sd) {
  State& s = state();
  ReaderState& r = s.reader;
  ReaderState::RecentKey& k = name_key(name);
  // Unless test_ has just fetched it, the value of name (the next row of a loop).
  if (!r.lasttest || !same_name(k.key, r.lastname)) getitm(k);
  const bool number = is_kind(s.vis.itemtype_, "numb");
  if (number) {
    value = r.numval;
    if (r.numsd >= 0) sd = r.numsd;
  }
  r.lasttest = false;
  return number;
}

bool numb_(std::string_view name, float& value, float& sd) {
  double v = 0;
  double s = -1;
  const bool number = numd_(name, v, s);
  if (number) {
    value = to_single(v);
    if (s >= 0) sd = to_single(s);
  }
  return number;
}

bool test_(std::string_view name) {
  State& s = state();
  ReaderState& r = s.reader;
  ReaderState::RecentKey& k = name_key(name);
  const bool tested_before = r.lasttest;
  r.lasttest = true;
  if (!tested_before || !same_name(k.key, r.lastname)) getitm(k);
  s.vis.loopno_ = r.curloop;
  return !is_kind(s.vis.itemtype_, "null");
}

}  // namespace zatrel
