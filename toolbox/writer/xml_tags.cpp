// XML tags on lines of their own, and the repair of element names.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "core/diagnostics.hpp"
#include "core/state.hpp"
#include "core/text.hpp"
#include "writer/line_composition.hpp"

namespace zatrel {

namespace {

constexpr std::string_view kNameStarters = "_:ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kNameOnlyLater = ".-0123456789";

// Per byte: 2 legal anywhere in a name, 1 legal after its first character.
constexpr std::array<unsigned char, 256> kNameCharacters = [] {
  std::array<unsigned char, 256> table{};
  for (char c : kNameStarters) table[static_cast<unsigned char>(c)] = 2;
  for (char c : kNameOnlyLater) table[static_cast<unsigned char>(c)] = 1;
  return table;
}();

bool legal_in_name(char c, bool first) {
  const unsigned char kind = kNameCharacters[static_cast<unsigned char>(c)];
  return kind == 2 || (!first && kind == 1);
}

// The translation when it has one, else the name; up to the first blank
// when only the element name is wanted. Either begins with a non-blank, so
// lastnb finds its end, skipping a name's padding eight columns at a time.
std::string_view tag_text(std::string_view name, std::string_view translation, bool bare) {
  const std::string_view given = !translation.empty() && translation[0] != ' ' ? translation : name;
  std::string_view tag = given.substr(0, static_cast<std::size_t>(lastnb(given)));
  if (bare) tag = tag.substr(0, tag.find(' '));
  return tag;
}

// Makes the name's characters up to its first blank legal in an element
// name; true when nothing had to be changed.
bool repair_name(char* name, std::size_t n) {
  bool unchanged = true;
  for (std::size_t j = 0; j < n && name[j] != ' '; ++j) {
    if (!legal_in_name(name[j], j == 0)) {
      name[j] = '_';
      unchanged = false;
    }
  }
  return unchanged;
}

// The tag is put together in a buffer kept from call to call: a document
// has two tags for every value.
void place_tag(std::string_view opening, std::string_view tag, std::string_view closing) {
  WriterState& w = state().writer;
  w.nextcol = kNewLine;
  std::string& piece = w.tagbuf;
  piece.assign(opening);
  piece += tag;
  piece += closing;
  if (!repair_name(piece.data() + opening.size(), tag.size()))
    warn(" XML required remapping for " + piece.substr(opening.size(), tag.size()));
  putstr(piece);
}

}  // namespace

bool xmncln(std::string& name, int n) {
  const int last = std::clamp(n, 0, static_cast<int>(name.size()));
  return repair_name(name.data(), static_cast<std::size_t>(last));
}

void putxo(std::string_view name, std::string_view translation) {
  if (name.empty() || name[0] == ' ') return;
  place_tag("<", tag_text(name, translation, false), ">");
}

void putxc(std::string_view name, std::string_view translation) {
  if (name.empty() || name[0] == ' ') return;
  place_tag("</", tag_text(name, translation, true), ">");
}

}  // namespace zatrel
