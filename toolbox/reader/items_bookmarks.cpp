// bkmrk_: marks a reading position, loop row included, and returns to it once.
#include <algorithm>

#include "core/diagnostics.hpp"
#include "reader/block_reading.hpp"

namespace zatrel {

namespace {

bool is_current_item(const ReaderState& r, int item) { return item >= 1 && item <= r.block_names.count; }

// A looped item whose loop is sound enough to step.
const LoopEntry* loop_of(const ReaderState& r, const NameEntry& e) {
  if (e.bloop < 1 || e.bloop > r.nloops) return nullptr;
  const LoopEntry& loop = r.loops[e.bloop];
  if (loop.lnitems < 1 || loop.lnitems > NUMITEM || e.blpos < 1 || e.blpos > loop.lnitems) return nullptr;
  return &loop;
}

// Whether position p of line n holds an opening quote (anything but a blank or
// a tab just before a value), looked up without moving the reader.
bool quoted_at(const CoreState& core, int n, int p) {
  if (core.curline == n && core.bufline == n) return !is_blank_or_tab(line_char(p));
  ReadingPoint here;
  here.capture();
  const bool quoted = read_line(n) && !is_blank_or_tab(line_char(p));
  here.restore();
  return quoted;
}

bool set_mark(State& s, int& mark) {
  ReaderState& r = s.reader;
  const CoreState& core = s.core;
  int e = 1;
  while (e <= MAXBOOK && !r.bookmarks[e].is_free()) ++e;
  if (e > MAXBOOK) {
    warn(" More than MAXBOOK bookmarks requested");
    return false;
  }
  Bookmark& entry = r.bookmarks[e];
  entry = {r.curitem, core.curline, core.curcol, 0};
  r.bookmarks_taken = std::max(r.bookmarks_taken, e);
  if (is_current_item(r, r.curitem)) {
    const NameEntry& item = r.names[r.curitem];
    entry.line = item.bnline;
    entry.column = item.bncol;
    if (item.bloop != 0 && item.bloop == r.curloop && r.packetno > 0) {
      // The current row: read again from just before its first value (and
      // before that value's opening quote, should it have one).
      const PacketSlot& first = r.packet[1];
      const int before = first.pcol - 1;
      const int position = before - (before >= 1 && quoted_at(core, first.pline, before) ? 1 : 0);
      entry = {r.curitem, first.pline, std::max(position, 0), r.packetno};
    }
  }
  mark = e;
  return true;
}

// The marked row is the one the next request of its loop reads again.
void resume_row(State& s, const NameEntry& item, const LoopEntry& loop, int line, int position) {
  ReaderState& r = s.reader;
  const int n = loop.lnitems;
  PacketSlot& resume = r.packet[n + 1];
  resume.pline = line;
  resume.pcol = position;
  const int first = r.curitem - item.blpos + 1;
  for (int k = first; k < first + n; ++k) r.names[k].bread = r.packetno - 1;
  --r.packetno;
  if (item.bread > 0) {
    s.vis.inloop_ = true;
    r.curloop = item.bloop;
  }
}

bool return_to_mark(State& s, int& mark) {
  ReaderState& r = s.reader;
  CoreState& core = s.core;
  Visible& v = s.vis;
  if (mark < 1 || mark > MAXBOOK) return false;
  Bookmark& entry = r.bookmarks[mark];
  if (entry.is_free()) return false;
  r.curitem = entry.item;
  core.curline = entry.line;
  r.packetno = entry.packet;
  v.inloop_ = false;
  v.intext_ = false;
  r.curloop = -1;
  r.lasttest = false;
  if (is_current_item(r, r.curitem) && r.packetno > 0) {
    const NameEntry& item = r.names[r.curitem];
    if (const LoopEntry* loop = loop_of(r, item)) resume_row(s, item, *loop, entry.line, entry.column);
  }
  core.curcol = kBeforeLineEnd;
  if (core.curline > 0) {
    read_line(core.curline);
    core.curcol = entry.column;
  }
  entry.item = -1;
  mark = 0;
  return true;
}

}  // namespace

bool bkmrk_(int& mark) {
  State& s = state();
  return mark == 0 ? set_mark(s, mark) : return_to_mark(s, mark);
}

}  // namespace zatrel
