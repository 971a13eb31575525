// name_ lists the block's data names; find_ locates a header, a name or a
// value and returns its text.
#include <algorithm>

#include "core/diagnostics.hpp"
#include "core/scratch.hpp"
#include "core/text.hpp"
#include "reader/block_reading.hpp"
#include "reader/item_reader.hpp"
#include "reader/tokens.hpp"

namespace zatrel {

namespace {

void give_token(State& s, std::string& text) {
  Visible& v = s.vis;
  text.assign(v.strval_.data(), static_cast<std::size_t>(std::clamp(v.vallen_, 0, MAXBUF)));
  v.inlineno_ = s.core.curline;
}

void read_token_at(CoreState& core, int line, int position) {
  read_line(line);
  core.curcol = position - 1;
  getstr();
}

// Back to the first line of the CIF's range, so that the next data_ with a
// blank name takes the first block again.
bool go_to_first_line(State& s) {
  CoreState& core = s.core;
  const int before_first = std::max(s.vis.firstline_ - 1, 0);
  core.blockend = std::min(s.vis.lastline_, core.nlines);
  core.curline = before_first;
  core.curcol = kPastLineEnd;
  Flag4 flag;
  getlin(flag);
  if (is_kind(flag, "fini")) return false;
  core.blockend = before_first;
  s.reader.shared_end_line = 0;
  return true;
}

bool find_item(State& s, std::string_view name, std::string_view keyword, std::string& text) {
  Visible& v = s.vis;
  ReaderState& r = s.reader;
  r.lasttest = false;
  getitm(Name(name));
  if (r.curitem == 0) return false;
  const NameEntry& e = r.names[r.curitem];
  if (keyword == "valu") {
    v.loopno_ = r.curloop;
    give_token(s, text);
    return true;
  }
  if (keyword == "name" || e.bloop == 0) {
    read_token_at(s.core, e.bnline, e.bncol);
    v.namepos_ = e.bncol;
    give_token(s, text);
    return true;
  }
  if (keyword.empty()) {
    const LoopEntry& loop = r.loops[e.bloop];
    read_token_at(s.core, loop.lline, loop.lcol);
    v.valpos_ = v.intabs_ ? loop.ltab : loop.lcol;
    give_token(s, text);
    return true;
  }
  err(" Call to find_ with invalid arguments");
}

// The next header of the CIF stands on the block's last line.
bool past_block_end(const State& s) {
  const ReaderState& r = s.reader;
  const CoreState& core = s.core;
  return r.shared_end_line > 0 && core.blockend == r.shared_end_line && core.curline == r.shared_end_line &&
         token_start() > r.shared_end_col;
}

bool find_token(State& s, std::string_view keyword, std::string& text) {
  Visible& v = s.vis;
  for (;;) {
    const TokenKind kind = getstr();
    if (kind == TokenKind::fini || past_block_end(s)) return false;
    // Only a blank keyword may leave the block.
    if (!keyword.empty() && is_header(kind)) return false;
    const bool wanted = keyword == "name"   ? kind == TokenKind::name
                        : keyword == "valu" ? is_value(kind)
                                            : true;
    if (wanted) {
      const int start = token_start();
      (kind == TokenKind::name ? v.namepos_ : v.valpos_) = start;
      give_token(s, text);
    }
    // The lines of a text field are no tokens of their own.
    if (kind == TokenKind::text) pass_text_field(s.core, AtDataEnd::past_line_end);
    if (wanted) return true;
  }
}

}  // namespace

bool name_(std::string& text) {
  State& s = state();
  ReaderState& r = s.reader;
  text.clear();
  const int count = r.block_names.count;
  r.curitem = std::clamp(r.curitem + 1, 1, count + 1);
  if (r.curitem > count) return false;
  const NameEntry& e = r.names[r.curitem];
  text = e.bdict != 0 ? s.dict.entries[e.bdict].dspell.trimmed()
                      : e.btag.trimmed();
  return true;
}

bool find_(std::string_view name, std::string_view keyword, std::string& text) {
  State& s = state();
  Visible& v = s.vis;
  text.clear();
  v.vallen_ = 0;
  const std::string_view word = trailing_blanks_removed(keyword);
  const bool blank_name = name.find_first_not_of(' ') == std::string_view::npos;
  // Only data names are looked up: anything else cannot be found.
  if (word != "head" && !blank_name && name.front() != '_') return false;

  ReadingPoint saved;
  saved.capture();
  bool found;
  if (word == "head")
    found = go_to_first_line(s);
  else if (!blank_name)
    found = find_item(s, name, word, text);
  else
    found = find_token(s, word, text);
  if (!found) {
    saved.restore();
    s.core.blockend = saved.blockend;
    v.inlineno_ = s.core.curline;
  }
  return found;
}

}  // namespace zatrel
