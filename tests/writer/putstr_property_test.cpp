// putstr over random pieces, widths, prefixes and switches: lines stay within
// the buffer, lines over the width come with a warning, and the characters
// of the pieces come back from the lines in order.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "writer/writer_fixture.hpp"

namespace zatrel {
namespace {

class PutstrProperty : public testing::WriterTest {};

bool is_space(char c) { return c == ' ' || c == '\t'; }

std::string without_spaces(std::string_view text) {
  std::string out;
  for (char c : text)
    if (!is_space(c)) out += c;
  return out;
}

std::string random_piece(std::mt19937& rng) {
  static constexpr std::string_view kAlphabet = "abcXYZ019_.-'\"#;<]() \t\t  ";
  std::uniform_int_distribution<int> kind(0, 19);
  std::uniform_int_distribution<int> pick(0, static_cast<int>(kAlphabet.size()) - 1);
  const int k = kind(rng);
  if (k == 0) return "";
  if (k == 1) return std::string(kFullLinePiece);
  if (k == 2) return "\t";
  std::uniform_int_distribution<int> length(1, k < 5 ? 200 : 12);
  std::string piece(static_cast<std::size_t>(length(rng)), ' ');
  for (char& c : piece) c = kAlphabet[static_cast<std::size_t>(pick(rng))];
  return piece;
}

TEST_F(PutstrProperty, LinesStayInBoundsAndKeepEveryCharacter) {
  std::mt19937 rng(20261209);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    reset_state();
    init_(testing::kInputUnit, testing::kOutputUnit, testing::kScratchUnit, testing::kMessageUnit);
    const std::string out = path("out" + std::to_string(round) + ".cif");
    const std::string said = path("messages" + std::to_string(round) + ".txt");
    ASSERT_TRUE(open_message_file(testing::kOutputUnit, out));
    ASSERT_TRUE(open_message_file(testing::kMessageUnit, said));
    std::uniform_int_distribution<int> width(1, 200), prefix_length(0, 230), coin(0, 1), names(-1, 14);
    line_ = width(rng);
    palign_ = coin(rng) != 0;
    ploopwrap_ = coin(rng) != 0;
    ptabs_ = coin(rng) != 0;
    pxml_ = coin(rng) != 0 && coin(rng) != 0;
    const int P = prefix_length(rng) % (coin(rng) != 0 ? 231 : 12);
    std::string prefix(static_cast<std::size_t>(std::min(P, MAXBUF)), 'p');
    if (!prefix.empty()) prefix.back() = '|';
    set_prefix(prefix);
    writer().prefixlen = P;  // as prefx_ leaves it, also beyond the buffer
    in_loop_values(std::max(names(rng), 0));
    writer().loophead = coin(rng) != 0 && coin(rng) != 0;

    std::string pieces;
    std::uniform_int_distribution<int> column(-1, 205), how(0, 5);
    for (int i = 0; i < 60; ++i) {
      if (how(rng) == 0) writer().nextcol = column(rng);
      writer().intextfield = how(rng) == 0;
      const std::string piece = random_piece(rng);
      if (piece != kFullLinePiece && !(ptabs_ == false && piece == "\t")) pieces += without_spaces(piece);
      putstr(piece);
      ASSERT_LE(writer().npieces, kMaxPieceColumns);
      ASSERT_LE(writer().nextcol, kPastLine + 1);
    }
    end_line();
    close_unit(testing::kOutputUnit);

    const int kept = std::min(P, MAXBUF - 1);  // prefix columns on every line
    const int W = mxline(line_);
    const bool warned_long = testing::read_file(said).find("longer than") != std::string::npos;
    std::string from_lines;
    const std::string all = testing::read_file(out);
    for (std::size_t start = 0, nl; (nl = all.find('\n', start)) != std::string::npos; start = nl + 1) {
      const std::string line = all.substr(start, nl - start);
      ASSERT_LE(line.size(), static_cast<std::size_t>(MAXBUF)) << line;
      const std::string content = line.substr(std::min(line.size(), static_cast<std::size_t>(kept)));
      if (static_cast<int>(line.size()) > W && !without_spaces(content).empty()) {
        EXPECT_TRUE(warned_long) << "line over the width without a warning: " << line;
      }
      from_lines += without_spaces(content);
    }
    const auto differ = std::mismatch(from_lines.begin(), from_lines.end(), pieces.begin(), pieces.end());
    EXPECT_EQ(from_lines, pieces) << "first difference at " << (differ.first - from_lines.begin()) << " of "
                                  << pieces.size() << " with W " << W << " P " << P << " align " << palign_
                                  << " tabs " << ptabs_ << " xml " << pxml_;
  }
}

}  // namespace
}  // namespace zatrel
