// The value of pchar_: written bare when a reader takes it back as the same
// value, else in single or double quotes, else as a text field.
#include <algorithm>
#include <array>
#include <string>

#include "core/diagnostics.hpp"
#include "core/text.hpp"
#include "writer/line_composition.hpp"
#include "writer/output_ops.hpp"

namespace zatrel {

namespace {

enum class Delimiter { kNone, kSingle, kDouble, kTextField };

bool is_blank_or_tab(char c) { return c == ' ' || c == '\t'; }

// True when value begins with word (lower case), in any case.
bool starts_with_word(std::string_view value, std::string_view word) {
  if (value.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const char c = value[i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != word[i]) return false;
  }
  return true;
}

// A reserved word of CIF 1.1, in any case: data_ and save_ with anything
// after them, loop_, global_, stop_. The reader takes a bare value that
// begins with any of them for the word, so all of those are delimited.
bool reserved_word(std::string_view value) {
  static constexpr std::array<std::string_view, 5> kWords = {"data_", "save_", "loop_", "global_", "stop_"};
  // Most values (numbers above all) begin with none of the words' letters.
  if (value.empty()) return false;
  switch (value.front() | 0x20) {
    case 'd': case 's': case 'l': case 'g': break;
    default: return false;
  }
  for (std::string_view word : kWords)
    if (starts_with_word(value, word)) return true;
  return false;
}

// The three-character values '.', '?', "." and "?" are written as they are.
bool quoted_null(std::string_view value) {
  return value.size() == 3 && (value[0] == '\'' || value[0] == '"') && value[2] == value[0] &&
         (value[1] == '.' || value[1] == '?');
}

// True when a reader would not take the bare value back as it is.
bool needs_delimiter(std::string_view value) {
  if (quoted_null(value)) return false;
  for (char c : value)
    if (is_blank_or_tab(c)) return true;
  switch (value.front()) {
    case '_': case '\'': case '"': case ';': case '#': case '$': case '[': case ']':
      return true;
    default:
      return value.back() == '_' || reserved_word(value);
  }
}

// True when the quote followed by a blank or tab occurs in the first n-1 characters.
bool quote_then_blank(std::string_view value, char quote) {
  for (std::size_t i = 0; i + 1 < value.size(); ++i)
    if (value[i] == quote && is_blank_or_tab(value[i + 1])) return true;
  return false;
}

Delimiter choose_delimiter(std::string_view value, char asked) {
  if (asked == ';') return Delimiter::kTextField;
  Delimiter d = Delimiter::kSingle;
  if (asked == '"' || quote_then_blank(value, '\'')) d = Delimiter::kDouble;
  if (d == Delimiter::kDouble && quote_then_blank(value, '"')) return Delimiter::kTextField;
  // A value that fits the buffer but not with its delimiters keeps them.
  if (value.size() + 2 > static_cast<std::size_t>(kMaxValue)) return Delimiter::kTextField;
  return d;
}

void place_as_text_field(State& s, std::string_view raw, std::string_view value) {
  WriterState& w = s.writer;
  const bool xml = s.vis.pxml_;
  w.nextcol = kNewLine;
  // Not counted as a loop value: the closing delimiter is.
  w.intextfield = true;
  if (xml)
    place_in_parts(w, "<![CDATA[", xml_cdata_text(trailing_blanks_removed(raw)));
  else
    place_in_parts(w, ";", value);
  w.intextfield = false;
  w.nextcol = kNewLine;
  place(xml ? "]]>" : ";");
  w.nextcol = prefix_columns(w);
  place("");
  warn(" Converted pchar_ output to text for: " + std::string(xml ? "[CDATA[" : "") + std::string(value));
}

// The value text: cut at the buffer's width (with a warning naming the
// item), entity references in XML, padded to reach pendpos_.
void value_text(State& s, const ItemStart& item, std::string_view text, std::string& value) {
  const Visible& v = s.vis;
  if (trailing_blanks_removed(text).size() > static_cast<std::size_t>(kMaxValue)) {
    const WriterState& w = s.writer;
    const int column = w.loopcols > 0 ? w.loopcol % w.loopcols + 1 : 0;
    const std::string_view named = item.looped && column >= 1 && column <= static_cast<int>(w.colnames.size())
                                       ? w.colnames[static_cast<std::size_t>(column - 1)].trimmed()
                                       : item.name.trimmed();
    warn(" Value of " + std::string(named) + " cut at 200 characters");
  }
  text = text.substr(0, std::min<std::size_t>(text.size(), kMaxValue));
  // Blanks at the end of a value asked for in quotes are part of it.
  const char asked = v.outquote_.col(1);
  const bool keep_blanks = asked == '\'' || asked == '"';
  const std::string_view kept = keep_blanks ? text : trailing_blanks_removed(text);
  if (v.pxml_)
    value = xml_value_text(kept);
  else
    value.assign(kept);
  if (value.empty() && !keep_blanks) value.assign(1, ' ');
  if (v.pvalpos_ != 0 && v.pvalpos_ <= v.pendpos_) {
    const auto reach = static_cast<std::size_t>(std::min(v.pendpos_ - v.pvalpos_ + 1, kMaxValue));
    if (value.size() < reach) value.resize(reach, ' ');
  }
}

}  // namespace

bool place_char_value(State& s, const ItemStart& item, std::string_view text) {
  Visible& v = s.vis;
  WriterState& w = s.writer;
  // The value buffer is kept from call to call: no allocation per value.
  std::string& value = w.valbuf;
  value_text(s, item, text, value);
  const char asked = v.outquote_.col(1);
  const bool blank = trailing_blanks_removed(value).empty();
  if (asked == ' ' && !needs_delimiter(value)) {
    if (v.pvalpos_ != 0) w.nextcol = v.pvalpos_ + prefix_columns(w);
    place(value);
    return value != "." && value != "?";
  }
  if (asked != ';' && blank && v.pnullblank_) {
    if (v.pvalpos_ != 0) w.nextcol = v.pvalpos_ + prefix_columns(w);
    place(".");
    return false;
  }
  const Delimiter d = choose_delimiter(value, asked);
  if (d == Delimiter::kTextField) {
    place_as_text_field(s, text.substr(0, std::min<std::size_t>(text.size(), kMaxValue)), value);
    return false;
  }
  const char quote = d == Delimiter::kDouble ? '"' : '\'';
  if (v.pvalpos_ != 0) w.nextcol = v.pvalpos_ + prefix_columns(w) - 1;
  value.insert(value.begin(), quote);
  value += quote;
  place(value);
  return false;
}

void place_in_parts(WriterState& w, std::string_view opener, std::string_view text) {
  if (opener.size() + text.size() <= static_cast<std::size_t>(MAXBUF)) {
    place(std::string(opener) + std::string(text));
    return;
  }
  place(opener);
  constexpr std::string_view kSplitSection = "]]]]><![CDATA[>";
  while (!text.empty()) {
    std::size_t cut = std::min<std::size_t>(text.size(), MAXBUF);
    // Never inside a character or a section boundary.
    while (cut < text.size() && cut > 1 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    if (cut < text.size()) {
      const std::size_t section = text.rfind(kSplitSection, cut - 1);
      if (section != std::string_view::npos && section + kSplitSection.size() > cut)
        cut = section == 0 ? kSplitSection.size() : section;
    }
    place_on_new_line(w, text.substr(0, cut));
    text.remove_prefix(cut);
  }
}

}  // namespace zatrel
