#include "reader/block_reading.hpp"

#include "core/diagnostics.hpp"
#include "core/scratch.hpp"

namespace zatrel {

bool load_line(int n) {
  CoreState& core = state().core;
  core.curline = n - 1;
  Flag4 flag;
  getlin(flag);
  return !is_kind(flag, "fini");
}

void pass_text_field(CoreState& core, AtDataEnd policy) {
  Flag4 flag;
  for (;;) {
    getlin(flag);
    if (is_kind(flag, "fini")) {
      if (policy == AtDataEnd::fail) err(" Unexpected end of data");
      core.curcol = kPastLineEnd;
      return;
    }
    if (core.linebuf.col(1) == ';') break;
  }
  core.curcol = 2;
}

void ReadingPoint::capture() {
  const CoreState& core = state().core;
  const bool same_text = line == core.curline && bufline == core.bufline && bufline == line;
  if (!same_text) text = core.linebuf.view();
  line = core.curline;
  length = core.linelen;
  position = core.curcol;
  bufline = core.bufline;
  blockend = core.blockend;
}

void ReadingPoint::restore() const {
  CoreState& core = state().core;
  core.curline = line;
  core.curcol = position;
  core.linelen = length;
  core.linebuf = text.view();
  core.bufline = bufline == line ? line : -1;
  core.tabline = -1;  // the expanded copy may be of another text
}

}  // namespace zatrel
