// XML value texts: the plain-ASCII shortcut gives what the character-by-
// character rule gives, checked against an independent rendering of
// random ASCII texts.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "writer/output_ops.hpp"

namespace zatrel {
namespace {

// Entity references for & < >, U+FFFD for a control character XML forbids,
// and a cut before the first piece that would pass kMaxValue.
std::string reference_value_text(std::string_view text) {
  std::string out;
  for (char c : text) {
    std::string piece(1, c);
    if (c == '&') piece = "&amp;";
    if (c == '<') piece = "&lt;";
    if (c == '>') piece = "&gt;";
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') piece = "\xEF\xBF\xBD";
    if (out.size() + piece.size() > static_cast<std::size_t>(kMaxValue)) break;
    out += piece;
  }
  return out;
}

TEST(XmlText, ValueTextsOfRandomAsciiMatchTheReference) {
  std::mt19937 rng(20261209);
  std::uniform_int_distribution<int> length(0, 230), byte(0, 127), rare(0, 40);
  for (int round = 0; round < 2000; ++round) {
    std::string text(static_cast<std::size_t>(length(rng)), ' ');
    // Mostly plain text; now and then a character that needs a change.
    const bool plain = round % 2 == 0;
    for (char& c : text) {
      c = static_cast<char>(byte(rng));
      if (plain && (c == '&' || c == '<' || c == '>' || c < 0x20)) c = 'x';
      if (!plain && rare(rng) == 0) c = "&<>\x01\t"[rare(rng) % 5];
    }
    EXPECT_EQ(xml_value_text(text), reference_value_text(text)) << text;
  }
}

}  // namespace
}  // namespace zatrel
