// pdata_: data block, save frame and global_ headers, and the table of the
// block names written to the current file.
#include <algorithm>
#include <string>

#include "writer/line_composition.hpp"
#include "writer/output_ops.hpp"

namespace zatrel {

namespace {

constexpr std::string_view kSaveWord = "save_";

// True when the block was written to this file before; a new name is
// remembered while the table has room.
bool seen_before(WriterState& w, const Name& name) {
  const auto used = w.dbloc.begin() + w.nblocks;
  if (std::find(w.dbloc.begin(), used, name) != used) return true;
  if (w.nblocks < kMaxBlockNames) w.dbloc[static_cast<std::size_t>(w.nblocks++)] = name;
  return false;
}

// A blank piece at the first column ends the line; the next piece goes to column c.
void go_to_column_on_new_line(WriterState& w, int c) {
  w.nextcol = prefix_columns(w) + 1;
  place("");
  w.nextcol = c;
}

void end_save_frame(State& s) {
  WriterState& w = s.writer;
  Visible& v = s.vis;
  w.nextcol = kNewLine;
  if (v.pvalpos_ != 0) {
    place_on_new_line(w, "");
    w.nextcol = prefix_columns(w) + v.pvalpos_;
    v.pvalpos_ = 0;
  }
  if (v.pxml_)
    xml_close_save(s);
  else
    place(kSaveWord);
  w.savefrm = false;
}

// Ends the open text field, loop, item and category, and save frame.
void end_open_constructs(State& s) {
  WriterState& w = s.writer;
  if (w.intextfield) eotext(s);
  if (w.loopcols != 0) eoloop(s);
  if (s.vis.pxml_) {
    xml_close_item(w);
    xml_close_category(w);
  }
  if (w.savefrm || w.xsave) end_save_frame(s);
}

void place_header(State& s, const std::string& header, const Name& name) {
  WriterState& w = s.writer;
  Visible& v = s.vis;
  if (v.pnamepos_ > 0) {
    go_to_column_on_new_line(w, prefix_columns(w) + v.pnamepos_);
    v.pnamepos_ = 0;
  }
  if (!v.pxml_) {
    place(header);
  } else if (v.pglobal_) {
    xml_open_block(s, "global_");
  } else if (v.psave_) {
    xml_need_root(s);
    putxo(kSaveWord, "");
    w.xsave = true;
  } else {
    xml_open_block(s, name.trimmed());
  }
}

}  // namespace

bool pdata_(std::string_view name) {
  State& s = state();
  WriterState& w = s.writer;
  Visible& v = s.vis;
  end_open_constructs(s);
  // A save frame lives inside its block: only a new block ends the block.
  if (v.pxml_ && (v.pglobal_ || !v.psave_)) xml_close_block(s);
  const Text<MAXBUF> padded(name);
  bool result = true;
  std::string header = "global_";
  const Name block(padded.trimmed());
  if (!v.pglobal_) {
    if (padded.blank()) return true;
    if (!v.psave_) result = !seen_before(w, block);
    header = std::string(v.psave_ ? "save_" : "data_") + std::string(padded.trimmed());
    header.resize(std::min<std::size_t>(header.size(), MAXBUF));
  }
  w.savefrm = !v.pglobal_ && v.psave_;
  w.nextcol = kNewLine;
  place_header(s, header, block);
  w.nextcol = prefix_columns(w);  // the next piece starts a new line
  w.xcat.clear();
  w.loopcols = 0;
  return result;
}

}  // namespace zatrel
