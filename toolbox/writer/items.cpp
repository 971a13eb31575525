// pnumb_, pnumd_ and pchar_: single items and loop values.
#include "writer/line_composition.hpp"
#include "writer/output_ops.hpp"

namespace zatrel {

namespace {

constexpr std::string_view kNotInDictionary = "#< not in dictionary";
constexpr std::string_view kNotInDictionaryXml = "<!-- not in dictionary -->";
constexpr std::string_view kNotCorrectType = "#< not correct type";
constexpr std::string_view kNotCorrectTypeXml = "<!-- not correct type -->";

// XML: the category and item elements of a single item, as far as they differ
// from those open.
void open_item_elements(State& s, const NameFacts& f) {
  WriterState& w = s.writer;
  xml_need_root(s);
  const bool same_cat = w.xcat == f.cat;
  if ((!w.xitem.blank() && !(w.xitem == f.item)) || !same_cat) {
    xml_close_item(w);
    if (!same_cat) {
      xml_close_category(w);
      xml_open_category(w, f);
    }
    putxo(f.item.view(), f.itemxml.view());
  } else if (w.xitem.blank()) {
    putxo(f.item.view(), f.itemxml.view());
  }
  w.xitem = f.item;
  w.xitemtr = f.itemxml.trimmed();
}

// The element of the loop column about to be filled; a one-name loop gets
// its element once, before its first value.
void open_column_element(State& s) {
  WriterState& w = s.writer;
  if (w.loopcols < 1) return;
  if (w.loopcols >= 2 || w.loophead) xml_open_column(s, w.loopcol % w.loopcols + 1);
}

}  // namespace

void place_item_name(State& s, const NameFacts& f) {
  WriterState& w = s.writer;
  Visible& v = s.vis;
  if (v.pxml_ && !w.xcat.blank() && !(w.xcat == f.cat)) {
    xml_close_item(w);
    xml_close_category(w);
  }
  w.nextcol = kNewLine;
  if (v.pnamepos_ != 0) w.nextcol = v.pnamepos_ + prefix_columns(w);
  if (v.pxml_)
    open_item_elements(s, f);
  else
    place(f.outname.trimmed());
}

ItemStart begin_item(State& s, std::string_view name, std::string_view type) {
  WriterState& w = s.writer;
  ItemStart item;
  if (w.intextfield) eotext(s);
  if (name.empty() || name[0] == ' ') {
    item.looped = true;
    name_nameless_loop(s);
    if (s.vis.pxml_) open_column_element(s);
  } else {
    item.name = name;
    const NameFacts f = procat(s, item.name.trimmed(), type);
    item.found = f.found;
    item.typeok = f.typeok;
    if (w.loopcols != 0) eoloop(s);
    place_item_name(s, f);
  }
  if (w.loophead) w.loopcol = 0;  // the first value of a loop follows its names
  w.loophead = false;
  xml_need_root(s);
  return item;
}

void finish_item(State& s, const ItemStart& item, bool type_note) {
  WriterState& w = s.writer;
  if (!item.found) place_note(s, kNotInDictionary, kNotInDictionaryXml);
  if (!item.typeok && type_note) place_note(s, kNotCorrectType, kNotCorrectTypeXml);
  if (s.vis.pxml_ && w.loopcols > 1 && w.loopcol > 0) xml_close_column(s, w.loopcol);
  reset_column_settings(s.vis);
}

bool pnumb_(std::string_view name, float value, float esd) {
  State& s = state();
  const ItemStart item = begin_item(s, name, "numb");
  putnum(static_cast<double>(value), static_cast<double>(esd), static_cast<double>(s.vis.rprec_));
  finish_item(s, item, true);
  s.vis.pesddig_ = 0;
  return item.found;
}

bool pnumd_(std::string_view name, double value, double esd) {
  State& s = state();
  const ItemStart item = begin_item(s, name, "numb");
  putnum(value, esd, s.vis.dprec_);
  finish_item(s, item, true);
  s.vis.pesddig_ = 0;
  return item.found;
}

bool pchar_(std::string_view name, std::string_view text) {
  State& s = state();
  const ItemStart item = begin_item(s, name, "char");
  const bool bare = place_char_value(s, item, text);
  finish_item(s, item, bare);
  s.vis.outquote_.clear();
  return item.found;
}

}  // namespace zatrel
