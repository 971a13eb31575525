// cmnt_: the comments after the reading position, across block boundaries.
// Every line end counts as a comment of one character, code 0.
#include <algorithm>

#include "core/scratch.hpp"
#include "core/text.hpp"
#include "reader/block_reading.hpp"

namespace zatrel {

namespace {

Visible& visible() { return state().vis; }

void give(std::string& text, std::string_view value) {
  Visible& v = visible();
  v.strval_ = value;
  v.vallen_ = static_cast<int>(value.size());
  text.assign(value);
}

// The rest of the line after the "#" at position p.
void give_comment(std::string& text, int p) {
  Visible& v = visible();
  CoreState& core = state().core;
  std::string_view rest;
  if (v.intabs_) {
    detab();
    const int hash_column = tab_expanded_column(core.linebuf.view(), p);
    v.namepos_ = hash_column;
    const int last = lastnb(core.tabbuf.view());
    if (hash_column < last)
      rest = core.tabbuf.view().substr(static_cast<std::size_t>(hash_column),
                                       static_cast<std::size_t>(last - hash_column));
  } else {
    v.namepos_ = p;
    if (p < core.linelen)
      rest =
          core.linebuf.view().substr(static_cast<std::size_t>(p), static_cast<std::size_t>(core.linelen - p));
  }
  // vallen_ is the length of the text given, the expanded one when tabs are
  // expanded, rather than the unexpanded rest of the line: the two rules for
  // it disagree, and the text and its length are kept together.
  give(text, rest.empty() ? std::string_view(" ") : rest);
  core.curcol = 201;
}

}  // namespace

bool cmnt_(std::string& text) {
  Visible& v = visible();
  CoreState& core = state().core;
  ReadingPoint saved;
  saved.capture();
  core.blockend = core.nlines;
  if (v.blockname_.blank() && core.curline == 0) core.curcol = 200;
  give(text, "");
  for (;;) {
    if (core.curcol > core.linelen) {
      Flag4 flag;
      getlin(flag);
      if (is_kind(flag, "fini")) {
        give(text, "fini");
        core.curcol = 201;
        return false;
      }
      core.curcol = 1;
      give(text, std::string_view("\0", 1));
      v.namepos_ = 0;
      core.blockend = saved.blockend;
      return true;
    }
    core.curcol = std::max(core.curcol, 1);
    const char c = line_char(core.curcol);
    const bool empty_line = core.linelen == 1 && c == ' ';
    if (c == '#' || empty_line) {
      give_comment(text, core.curcol);
      core.blockend = saved.blockend;
      return true;
    }
    if (c == ' ' || (c == '\t' && v.intabs_)) {
      ++core.curcol;
    } else if (c == '\t') {
      give(text, "\t");
      v.namepos_ = core.curcol++;
      core.blockend = saved.blockend;
      return true;
    } else {
      saved.restore();
      core.blockend = saved.blockend;
      v.inlineno_ = core.curline;
      return false;
    }
  }
}

}  // namespace zatrel
