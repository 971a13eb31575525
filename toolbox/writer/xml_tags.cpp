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
// when only the element name is wanted.
std::string tag_text(std::string_view name, std::string_view translation, bool bare) {
  std::string tag(trailing_blanks_removed(!translation.empty() && translation[0] != ' ' ? translation : name));
  if (bare) tag = tag.substr(0, tag.find(' '));
  return tag;
}

void place_tag(std::string_view opening, std::string tag, std::string_view closing) {
  state().writer.nextcol = kNewLine;
  if (!xmncln(tag, static_cast<int>(tag.size()))) warn(" XML required remapping for " + tag);
  putstr(std::string(opening) + tag + std::string(closing));
}

}  // namespace

bool xmncln(std::string& name, int n) {
  bool unchanged = true;
  const int last = std::min(n, static_cast<int>(name.size()));
  for (int j = 1; j <= last; ++j) {
    char& c = name[static_cast<std::size_t>(j - 1)];
    if (c == ' ') break;
    if (!legal_in_name(c, j == 1)) {
      c = '_';
      unchanged = false;
    }
  }
  return unchanged;
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
