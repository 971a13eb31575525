// ploop_: the names of a loop, whose values then come from the item
// operations called with a blank name.
#include <algorithm>
#include <string>

#include "writer/line_composition.hpp"
#include "writer/output_ops.hpp"

namespace zatrel {

namespace {

constexpr std::string_view kLoopWord = "loop_";
constexpr std::string_view kAlignIndent = "    ";

// Ends a loop whose values have begun, keeping the category element open
// when the next loop's first name shares it.
void end_loop_keeping_category(State& s, const NameFacts& f) {
  WriterState& w = s.writer;
  if (!(w.xcat == f.cat)) {
    eoloop(s);
    return;
  }
  const Name cat = w.xcat;
  const Name cattr = w.xcattr;
  w.xcat.clear();
  w.xcattr.clear();
  eoloop(s);
  w.xcat = cat;
  w.xcattr = cattr;
}

void start_loop(State& s) {
  WriterState& w = s.writer;
  Visible& v = s.vis;
  const bool item_open = !w.xitem.blank();
  w.loophead = true;
  w.nextcol = kNewLine;
  if (v.pvalpos_ != 0 || v.pnamepos_ != 0) {
    place_on_new_line(w, "");
    w.nextcol = v.pvalpos_ != 0 ? v.pvalpos_ + prefix_columns(w) : v.pnamepos_ + prefix_columns(w) + 1;
  }
  if (!v.pxml_) place(kLoopWord);
  if (v.pxml_ && item_open) xml_close_item(w);
  w.nextcol = kNewLine;
  w.colnames.clear();
  w.xcolumns.clear();
}

std::string_view shown(const Name& cat) { return cat.blank() ? std::string_view("(none)") : cat.trimmed(); }

// XML: the first name opens the loop's category; a later name of another
// category is told in a comment.
void category_of_name(State& s, const NameFacts& f) {
  WriterState& w = s.writer;
  if (w.loopcols < 1) {
    if (w.xcat == f.cat) return;
    xml_close_category(w);
    xml_need_root(s);
    xml_open_category(w, f);
    return;
  }
  if (w.xcat == f.cat) return;
  const int column = w.nextcol;
  place(xml_comment(" mixed categories " + std::string(shown(w.xcat)) + " and " + std::string(shown(f.cat))));
  w.nextcol = column;
}

}  // namespace

bool ploop_(std::string_view name) {
  State& s = state();
  WriterState& w = s.writer;
  Visible& v = s.vis;
  if (w.intextfield) eotext(s);
  const Name given(name);
  const bool values_begun = w.loopcols != 0 && !w.loophead;
  if (given.blank()) {
    if (values_begun) eoloop(s);
    if (w.loopcols == 0) {
      start_loop(s);
      w.loopcols = -1;
      w.xitem.clear();
      w.xitemtr.clear();
    }
    return true;
  }
  const NameFacts f = procat(s, given.trimmed(), "");
  if (values_begun) end_loop_keeping_category(s, f);
  if (v.pxml_ && !w.xcat.blank() && w.loopcols == 0) {
    xml_close_item(w);
    if (!(w.xcat == f.cat)) xml_close_category(w);
  }
  std::string text = std::string(v.palign_ && v.pnamepos_ == 0 ? kAlignIndent : "") + f.outname.str();
  text.resize(std::min<std::size_t>(text.size(), NAMELEN));
  if (w.loopcols == 0) start_loop(s);
  if (w.loopcols < 0) {
    w.colnames.clear();
    w.xcolumns.clear();
  }
  w.colnames.push_back(f.outname);
  w.xcolumns.push_back(make_xml_column(f.item.view(), f.itemxml.view()));
  if (v.pxml_) category_of_name(s, f);
  if (v.pnamepos_ != 0) w.nextcol = v.pnamepos_ + prefix_columns(w);
  if (!v.pxml_) place(text);
  if (!f.found) place_note(s, "#< not in dictionary", xml_comment(text + " not in dictionary"));
  w.loopcol = 0;
  w.loopcols = std::max(w.loopcols, 0) + 1;
  w.nextcol = prefix_columns(w) + 1;  // the next name starts a new line
  return f.found;
}

}  // namespace zatrel
