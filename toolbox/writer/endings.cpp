// Ending what a caller left open: text fields and loops (with DUMMY values
// for a short last row), and the small placing steps the operations share.
#include "core/diagnostics.hpp"
#include "writer/line_composition.hpp"
#include "writer/output_ops.hpp"

namespace zatrel {

namespace {

constexpr std::string_view kDummyName = "_DUMMY";
constexpr std::string_view kDummyValue = "DUMMY";

// Fills the columns after the last value of the row with DUMMY.
void complete_last_row(State& s) {
  WriterState& w = s.writer;
  const bool xml = s.vis.pxml_;
  for (int k = w.loopcol + 1; k <= w.loopcols; ++k) {
    if (xml) xml_open_column(s, k);
    place(kDummyValue);
    if (xml) xml_close_column(s, k);
  }
  warn(" Missing: missing loop_ items set as DUMMY");
  w.xitem.clear();
  w.xitemtr.clear();
}

}  // namespace

void place_on_new_line(WriterState& w, std::string_view piece) {
  w.nextcol = kNewLine;
  putstr(piece);
}

void place(std::string_view piece) { putstr(piece); }

void mark_line_full() { putstr(kFullLinePiece); }

void end_line_if_used(WriterState& w) {
  if (w.linepos >= prefix_columns(w) + 1) place_on_new_line(w, "");
}

void place_note(State& s, std::string_view cif_note, std::string_view xml_note) {
  WriterState& w = s.writer;
  if (!s.vis.palign_) w.nextcol = prefix_columns(w) + kNoteColumn;
  place(s.vis.pxml_ ? xml_note : cif_note);
  // Nothing may follow a note on its line: it would be read as comment.
  if (!s.vis.pxml_) mark_line_full();
}

void reset_column_settings(Visible& v) {
  v.pnamepos_ = 0;
  v.pvalpos_ = 0;
  v.pdecpos_ = 0;
  v.pendpos_ = 0;
}

void name_nameless_loop(State& s) {
  WriterState& w = s.writer;
  if (w.loopcols != -1) return;
  w.colnames.assign(1, Name(kDummyName));
  w.xcolumns.assign(1, make_xml_column(kDummyValue, ""));
  if (s.vis.pxml_) {
    xml_close_item(w);
    xml_close_category(w);
  } else {
    place_on_new_line(w, kDummyName);
  }
  w.loopcols = 1;
  w.loopcol = 0;
  w.nextcol = prefix_columns(w) + 1;
  warn(" Missing: missing loop_ name set as _DUMMY");
}

void eoloop(State& s) {
  WriterState& w = s.writer;
  const bool xml = s.vis.pxml_;
  if (w.loopcols != 0) {
    name_nameless_loop(s);
    if (xml && w.loopcols == 1 && !w.loophead) xml_close_column(s, 1);
    if (w.loopcol != w.loopcols) complete_last_row(s);
  }
  w.loopcol = 0;
  w.loopcols = 0;
  w.loophead = false;
  if (xml) {
    xml_close_item(w);
    xml_close_category(w);
  }
}

void eotext(State& s) {
  WriterState& w = s.writer;
  if (!w.intextfield) {
    warn(" Out-of-sequence call to end text block");
    return;
  }
  w.intextfield = false;
  w.nextcol = kNewLine;
  if (!s.vis.pxml_) {
    place(";");
  } else {
    place("]]>");
    if (w.loopcols > 1) xml_close_column(s, w.loopcol);
    if (w.loopcols <= 0) xml_close_item(w);
  }
  mark_line_full();
}

}  // namespace zatrel
