// name_ lists the block's data names; find_ locates a header, a name or a
// value and returns its text.
#include <algorithm>

#include "core/diagnostics.hpp"
#include "core/scratch.hpp"
#include "reader/block_reading.hpp"
#include "reader/item_reader.hpp"
#include "reader/tokens.hpp"

namespace zatrel {

namespace {

Visible& visible() { return state().vis; }
ReaderState& reader() { return state().reader; }

std::string_view without_trailing_blanks(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

void give_token(std::string& text) {
  const Visible& v = visible();
  text.assign(v.strval_.data(), static_cast<std::size_t>(std::clamp(v.vallen_, 0, MAXBUF)));
  visible().inlineno_ = state().core.curline;
}

void read_token_at(int line, int position) {
  read_line(line);
  state().core.curcol = position - 1;
  getstr();
}

// Back to the first line of the CIF's range, so that the next data_ with a
// blank name takes the first block again.
bool go_to_first_line() {
  State& s = state();
  CoreState& core = s.core;
  const int before_first = std::max(s.vis.firstline_ - 1, 0);
  core.blockend = std::min(s.vis.lastline_, core.nlines);
  core.curline = before_first;
  core.curcol = 201;
  Flag4 flag;
  getlin(flag);
  if (is_kind(flag, "fini")) return false;
  core.blockend = before_first;
  s.reader.shared_end_line = 0;
  return true;
}

bool find_item(std::string_view name, std::string_view keyword, std::string& text) {
  Visible& v = visible();
  ReaderState& r = reader();
  r.lasttest = "no ";
  getitm(Name(name));
  if (r.curitem == 0) return false;
  const NameEntry& e = r.names[static_cast<std::size_t>(r.curitem)];
  if (keyword == "valu") {
    v.loopno_ = r.curloop;
    give_token(text);
    return true;
  }
  if (keyword == "name" || e.bloop == 0) {
    read_token_at(e.bnline, e.bncol);
    v.namepos_ = e.bncol;
    give_token(text);
    return true;
  }
  if (keyword.empty()) {
    const LoopEntry& loop = r.loops[static_cast<std::size_t>(e.bloop)];
    read_token_at(loop.lline, loop.lcol);
    v.valpos_ = v.intabs_ ? loop.ltab : loop.lcol;
    give_token(text);
    return true;
  }
  err(" Call to find_ with invalid arguments");
}

// The next header of the CIF stands on the block's last line.
bool past_block_end() {
  const ReaderState& r = reader();
  const CoreState& core = state().core;
  return r.shared_end_line > 0 && core.blockend == r.shared_end_line && core.curline == r.shared_end_line &&
         token_start() > r.shared_end_col;
}

// The lines of a text field are no tokens of their own.
void pass_text_field() {
  CoreState& core = state().core;
  Flag4 flag;
  do {
    getlin(flag);
  } while (!is_kind(flag, "fini") && core.linebuf.col(1) != ';');
  core.curcol = is_kind(flag, "fini") ? 201 : 2;
}

bool find_token(std::string_view keyword, std::string& text) {
  Visible& v = visible();
  const Flag4& kind = v.itemtype_;
  for (;;) {
    getstr();
    if (is_kind(kind, "fini") || past_block_end()) return false;
    // Only a blank keyword may leave the block.
    if (!keyword.empty() && is_header_kind(kind)) return false;
    const bool wanted = keyword == "name"   ? is_kind(kind, "name")
                        : keyword == "valu" ? is_value_kind(kind)
                                            : true;
    if (wanted) {
      const int start = token_start();
      (is_kind(kind, "name") ? v.namepos_ : v.valpos_) = start;
      give_token(text);
    }
    if (is_kind(kind, "text")) pass_text_field();
    if (wanted) return true;
  }
}

}  // namespace

bool name_(std::string& text) {
  ReaderState& r = reader();
  text.clear();
  const int count = r.block_names.count;
  r.curitem = std::clamp(r.curitem + 1, 1, count + 1);
  if (r.curitem > count) return false;
  const NameEntry& e = r.names[static_cast<std::size_t>(r.curitem)];
  text = e.bdict != 0 ? state().dict.entries[static_cast<std::size_t>(e.bdict)].dspell.trimmed()
                      : e.btag.trimmed();
  return true;
}

bool find_(std::string_view name, std::string_view keyword, std::string& text) {
  Visible& v = visible();
  text.clear();
  v.vallen_ = 0;
  const std::string_view word = without_trailing_blanks(keyword);
  const bool blank_name = name.find_first_not_of(' ') == std::string_view::npos;
  // Only data names are looked up: anything else cannot be found.
  if (word != "head" && !blank_name && name.front() != '_') return false;

  ReadingPoint saved;
  saved.capture();
  bool found;
  if (word == "head")
    found = go_to_first_line();
  else if (!blank_name)
    found = find_item(name, word, text);
  else
    found = find_token(word, text);
  if (!found) {
    saved.restore();
    state().core.blockend = saved.blockend;
    v.inlineno_ = state().core.curline;
  }
  return found;
}

}  // namespace zatrel
