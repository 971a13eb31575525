// The output operations' shared steps: what the dictionary says of a name,
// ending open constructs, the XML elements, and the placing of notes and
// values. Internal to the toolbox.
#pragma once

#include <string>
#include <string_view>

#include "core/state.hpp"

namespace zatrel {

// Where dictionary notes start, counted after the prefix, when columns are not aligned.
inline constexpr int kNoteColumn = 57;
// The longest value the value buffer holds.
inline constexpr int kMaxValue = MAXBUF;

// What procat tells of a data name about to be written.
struct NameFacts {
  bool found = true;
  bool typeok = true;
  Name cat;  // upper case; blank when none
  Text<60> catxml;
  Name item;  // the XML element name of the item
  Text<60> itemxml;
  Name outname;  // the name as written
};

// Checks name against the dictionary (when names are validated) and derives
// its category and XML element names. xcat is the open category element.
NameFacts procat(const State& s, std::string_view name, std::string_view type);

// The template with each "%" replaced by name (up to its last non-blank),
// cut at MAXBUF characters.
Text<MAXBUF> dsbst(std::string_view name, std::string_view templ);

// Closes the open text field; warns when there is none.
void eotext(State& s);
// Completes the last row of the open loop with DUMMY values and ends it.
void eoloop(State& s);
// A loop that got values before any name is given the name _DUMMY first.
void name_nameless_loop(State& s);

// Places a piece on a new line / where nextcol says / the NUL piece.
void place_on_new_line(WriterState& w, std::string_view piece);
void place(std::string_view piece);
void mark_line_full();
// Ends the current line when it holds anything.
void end_line_if_used(WriterState& w);

// The dictionary notes after a name or value.
void place_note(State& s, std::string_view cif_note, std::string_view xml_note);

// XML elements, innermost first.
void xml_close_item(WriterState& w);
void xml_close_category(WriterState& w);
void xml_open_category(WriterState& w, const NameFacts& facts);
void xml_close_save(State& s);
void xml_close_block(State& s);
void xml_close_all(State& s);
// Opens a data block's element: the document's root when none is open yet.
void xml_open_block(State& s, std::string_view tag);
// Opens the root element if none is open yet, before any content.
void xml_need_root(State& s);
// Opens and closes the element of loop column k (1-based).
void xml_open_column(State& s, int k);
void xml_close_column(State& s, int k);

// XML texts: a value with entity references (cut at kMaxValue), a CDATA
// section's text, a comment (trailing blanks dropped).
std::string xml_value_text(std::string_view text);
std::string xml_cdata_text(std::string_view text);
std::string xml_comment(std::string_view text);

// The common part of the item operations: a named item ends an open loop,
// gets its name (CIF) or elements (XML) placed; a blank name is the next
// value of the open loop.
struct ItemStart {
  bool found = true;
  bool typeok = true;
  bool looped = false;
  Name name;
};
ItemStart begin_item(State& s, std::string_view name, std::string_view type);
// The name of a single item on a new line (CIF), or its elements (XML).
void place_item_name(State& s, const NameFacts& facts);
// The dictionary notes and the end of a loop column's element.
void finish_item(State& s, const ItemStart& item, bool type_note);
// The value of pchar_ with the delimiters it needs; true when written bare.
bool place_char_value(State& s, const ItemStart& item, std::string_view text);
// A text longer than the line buffer allows: placed in parts on lines of
// their own (an XML CDATA text, split where no markup is cut).
void place_in_parts(WriterState& w, std::string_view opener, std::string_view text);

// The caller's one-shot column settings go back to 0.
void reset_column_settings(Visible& v);

}  // namespace zatrel
