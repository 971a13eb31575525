// cmnt_: the comments after the reading position, across block boundaries.
// Every line end counts as a comment of one character, code 0.
#include <algorithm>

#include "core/scratch.hpp"
#include "core/text.hpp"
#include "reader/block_reading.hpp"

namespace zatrel {

namespace {

void give(Visible& v, std::string& text, std::string_view value) {
  v.strval_ = value;
  v.vallen_ = static_cast<int>(value.size());
  text.assign(value);
}

// The rest of the line after the "#" at position p.
void give_comment(Visible& v, CoreState& core, std::string& text, int p) {
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
  give(v, text, rest.empty() ? std::string_view(" ") : rest);
  core.curcol = kPastLineEnd;
}

}  // namespace

namespace {

enum class Scan { comment, not_comment, end_of_data };

// Steps from the reading position to the next comment, line end or token.
Scan scan_for_comment(Visible& v, CoreState& core, std::string& text) {
  for (;;) {
    if (core.curcol > core.linelen) {
      Flag4 flag;
      getlin(flag);
      if (is_kind(flag, "fini")) {
        give(v, text, "fini");
        core.curcol = kPastLineEnd;
        return Scan::end_of_data;
      }
      core.curcol = 1;
      give(v, text, std::string_view("\0", 1));
      v.namepos_ = 0;
      return Scan::comment;
    }
    core.curcol = std::max(core.curcol, 1);
    const char c = line_char(core.curcol);
    const bool empty_line = core.linelen == 1 && c == ' ';
    if (c == '#' || empty_line) {
      give_comment(v, core, text, core.curcol);
      return Scan::comment;
    }
    if (c == '\t' && !v.intabs_) {
      give(v, text, "\t");
      v.namepos_ = core.curcol++;
      return Scan::comment;
    }
    if (c != ' ' && c != '\t') return Scan::not_comment;
    ++core.curcol;
  }
}

}  // namespace

bool cmnt_(std::string& text) {
  State& s = state();
  Visible& v = s.vis;
  CoreState& core = s.core;
  ReadingPoint saved;
  saved.capture();
  core.blockend = core.nlines;
  if (v.blockname_.blank() && core.curline == 0) core.curcol = kBeforeLineEnd;
  give(v, text, "");
  const Scan found = scan_for_comment(v, core, text);
  // At the end of the data the whole file stays readable: blockend stays at nlines.
  if (found == Scan::end_of_data) return false;
  if (found == Scan::not_comment) {
    saved.restore();
    v.inlineno_ = core.curline;
  }
  core.blockend = saved.blockend;
  return found == Scan::comment;
}

}  // namespace zatrel
