// Texts made fit for an XML document: characters XML 1.0 forbids and bytes
// that are not UTF-8 become U+FFFD; values take entity references; CDATA
// sections never hold "]]>"; comments never hold "--".
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/text.hpp"
#include "writer/line_composition.hpp"
#include "writer/output_ops.hpp"

namespace zatrel {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
// Room kept for "<!-- " and " -->" in a comment of at most MAXBUF columns.
constexpr std::size_t kCommentText = 195 - 5;

bool allowed(std::uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

// The length of the well-formed UTF-8 sequence at the start of text and its
// code point; 0 when the bytes there are not one.
std::size_t decode(std::string_view text, std::uint32_t& code) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char b0 = byte(0);
  if (b0 < 0x80) {
    code = b0;
    return 1;
  }
  std::size_t n = b0 >= 0xF0 && b0 <= 0xF4 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 && b0 < 0xE0 ? 2 : 0;
  if (n == 0 || n > text.size()) return 0;
  code = b0 & (0x7F >> n);
  for (std::size_t i = 1; i < n; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < least[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return n;
}

// Calls emit(bytes) for each character in turn, a forbidden one as U+FFFD.
template <typename Emit>
void for_each_character(std::string_view text, Emit emit) {
  while (!text.empty()) {
    std::uint32_t code = 0;
    const std::size_t n = decode(text, code);
    if (n == 0 || !allowed(code)) {
      emit(kReplacement);
      text.remove_prefix(n == 0 ? 1 : n);
      continue;
    }
    emit(text.substr(0, n));
    text.remove_prefix(n);
  }
}

// True when every character is ASCII that stands in an XML value as it is.
bool plain_ascii(std::string_view text) {
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x80 || c == '&' || c == '<' || c == '>' || (c < 0x20 && c != '\t' && c != '\n' && c != '\r'))
      return false;
  }
  return true;
}

}  // namespace

std::string xml_value_text(std::string_view text) {
  // The common case, without going character by character.
  if (plain_ascii(text)) return std::string(text.substr(0, std::min<std::size_t>(text.size(), kMaxValue)));
  std::string out;
  bool full = false;
  for_each_character(text, [&](std::string_view ch) {
    std::string_view put = ch == "&" ? "&amp;" : ch == "<" ? "&lt;" : ch == ">" ? "&gt;" : ch;
    // Cut at kMaxValue, never inside a character or an entity reference.
    if (full || out.size() + put.size() > kMaxValue) {
      full = true;
      return;
    }
    out += put;
  });
  return out;
}

std::string xml_cdata_text(std::string_view text) {
  std::string out;
  for_each_character(text, [&](std::string_view ch) {
    // "]]>" ends the section: the ">" goes into a section of its own.
    if (ch == ">" && out.size() >= 2 && out.compare(out.size() - 2, 2, "]]") == 0)
      out += "]]><![CDATA[>";
    else
      out += ch;
  });
  return out;
}

std::string xml_comment(std::string_view text) {
  std::string body;
  bool full = false;
  for_each_character(trailing_blanks_removed(text), [&](std::string_view ch) {
    const bool dash_after_dash = ch == "-" && !body.empty() && body.back() == '-';
    const std::size_t adds = ch.size() + (dash_after_dash ? 1 : 0);
    if (full || body.size() + adds > kCommentText) {
      full = true;
      return;
    }
    if (dash_after_dash) body += '\\';
    body += ch;
  });
  return "<!-- " + body + " -->";
}

}  // namespace zatrel
