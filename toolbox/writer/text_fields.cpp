// ptext_: a text field written line by line.
#include <string>

#include "core/text.hpp"
#include "writer/line_composition.hpp"
#include "writer/output_ops.hpp"

namespace zatrel {

namespace {

constexpr std::string_view kCifOpener = ";";
constexpr std::string_view kXmlOpener = "<![CDATA[";

// A line of the open field, as it stands; a blank line stays an empty line.
void place_field_line(State& s, std::string_view line) {
  WriterState& w = s.writer;
  w.nextcol = kNewLine;
  const std::string_view text = trailing_blanks_removed(line);
  if (text.empty())
    place(" ");
  else if (s.vis.pxml_)
    place_in_parts(w, "", xml_cdata_text(text));
  else
    place(text);
  w.nextcol = kNewLine;
}

// Opens the field: a first line that begins with a blank follows the
// opening delimiter, which takes the blank's place.
void open_field(State& s, std::string_view line) {
  WriterState& w = s.writer;
  const bool xml = s.vis.pxml_;
  const std::string_view opener = xml ? kXmlOpener : kCifOpener;
  const std::string_view text = trailing_blanks_removed(line);
  w.nextcol = kNewLine;
  if (text.size() > 1 && text[0] == ' ') {
    const std::string_view rest = text.substr(1);
    if (xml)
      place_in_parts(w, opener, xml_cdata_text(rest));
    else
      place(std::string(opener) + std::string(rest));
    w.nextcol = kNewLine;
    return;
  }
  place(opener);
  w.nextcol = kNewLine;
  if (!text.empty()) place_field_line(s, line);
}

// The name of a named field, with its elements and notes; the field is then
// this item's value.
bool start_named_field(State& s, const Name& name) {
  WriterState& w = s.writer;
  if (w.loopcols != 0) eoloop(s);
  const NameFacts f = procat(s, name.trimmed(), "char");
  place_item_name(s, f);
  ItemStart item;
  item.found = f.found;
  item.typeok = f.typeok;
  item.name = name;
  finish_item(s, item, true);
  return f.found;
}

}  // namespace

bool ptext_(std::string_view name, std::string_view line) {
  State& s = state();
  WriterState& w = s.writer;
  const Name given(name);
  if (w.intextfield) {
    if (given == w.store) {
      place_field_line(s, line);
      reset_column_settings(s.vis);
      return true;
    }
    eotext(s);
  }
  bool result = true;
  if (given.blank()) {
    name_nameless_loop(s);
    if (s.vis.pxml_ && w.loopcols > 0 && (w.loopcols >= 2 || w.loophead))
      xml_open_column(s, w.loopcol % w.loopcols + 1);
  } else {
    result = start_named_field(s, given);
  }
  if (w.loophead) w.loopcol = 0;
  w.loophead = false;
  xml_need_root(s);
  w.intextfield = true;
  w.store = given;
  open_field(s, line);
  reset_column_settings(s.vis);
  return result;
}

}  // namespace zatrel
