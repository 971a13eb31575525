// Forgetting a block (data_ and purge_) and everything read (purge_).
#include "core/scratch.hpp"
#include "reader/block_reading.hpp"
#include "reader/hash_funcs.hpp"

namespace zatrel {

void forget_block(State& s) {
  ReaderState& r = s.reader;
  r.curitem = 0;
  r.curloop = 0;
  r.packetno = 0;
  r.nloops = 0;
  // Emptied whole: its buckets would otherwise still lead to the old names.
  hash_init(r.block_names);
  ++r.directory_serial;  // what name_key remembers of the old directory
  r.lasttest = false;  // a value test_ fetched belongs to the old block
  s.vis.inloop_ = false;
  s.vis.intext_ = false;
  // Cleared here, not only by save_ tokens, ocif_ and purge_: a block taken
  // after a global_ block would otherwise have its messages headed global_.
  s.vis.inglobal_ = false;
  // A block change frees every bookmark; only those ever taken need it.
  for (int mark = 1; mark <= r.bookmarks_taken; ++mark) r.bookmarks[mark].item = -1;
  r.bookmarks_taken = 0;
}

bool purge_() {
  State& s = state();
  // Any scratch file goes, an empty one too: nothing of the run stays behind.
  drop_scratch();
  forget_block(s);
  for (Bookmark& b : s.reader.bookmarks) b = Bookmark{};
  CoreState& c = s.core;
  c.blockend = 0;
  c.curline = 0;
  c.linelen = 0;
  c.curcol = kBeforeLineEnd;
  Visible& v = s.vis;
  v.inlineno_ = 0;
  v.insave_ = false;
  v.appendcif_ = false;
  v.firstline_ = 0;
  v.lastline_ = 0;
  return true;
}

}  // namespace zatrel
