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

void compose_tag(std::string_view opening, std::string_view name, XmlTag& tag) {
  tag.text.assign(opening);
  tag.text += name;
  tag.text += '>';
  tag.name_at = opening.size();
  tag.repaired = !repair_name(tag.text.data() + tag.name_at, name.size());
}

}  // namespace

bool xmncln(std::string& name, int n) {
  const int last = std::clamp(n, 0, static_cast<int>(name.size()));
  return repair_name(name.data(), static_cast<std::size_t>(last));
}

void make_xml_tag(std::string_view name, std::string_view translation, bool closing, XmlTag& tag) {
  if (name.empty() || name[0] == ' ') {
    tag.text.clear();  // nothing to place
    tag.repaired = false;
    return;
  }
  compose_tag(closing ? "</" : "<", tag_text(name, translation, closing), tag);
}

XmlColumn make_xml_column(std::string_view name, std::string_view translation) {
  XmlColumn column;
  make_xml_tag(name, translation, false, column.open);
  make_xml_tag(name, translation, true, column.close);
  return column;
}

void place_xml_tag(const XmlTag& tag) {
  if (tag.text.empty()) return;
  state().writer.nextcol = kNewLine;
  if (tag.repaired)
    warn(" XML required remapping for " + tag.text.substr(tag.name_at, tag.text.size() - tag.name_at - 1));
  putstr(tag.text);
}

// The writer's tag buffer keeps its room from tag to tag.
void putxo(std::string_view name, std::string_view translation) {
  XmlTag& tag = state().writer.tagbuf;
  make_xml_tag(name, translation, false, tag);
  place_xml_tag(tag);
}

void putxc(std::string_view name, std::string_view translation) {
  XmlTag& tag = state().writer.tagbuf;
  make_xml_tag(name, translation, true, tag);
  place_xml_tag(tag);
}

}  // namespace zatrel
