// init_ and the shared text utilities.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "core/byte_lanes.hpp"
#include "core/state.hpp"
#include "core/text.hpp"
#include "support/fresh_toolbox.hpp"

namespace zatrel {
namespace {

using testing::FreshToolbox;

// Every byte value, in every lane, against a per-byte reference.
TEST(ByteLanes, EachLaneIsJudgedByItsOwnByte) {
  std::mt19937_64 random(2026);
  for (int round = 0; round < 20000; ++round) {
    unsigned char bytes[8];
    for (unsigned char& b : bytes) b = static_cast<unsigned char>(random());
    bytes[round % 8] = static_cast<unsigned char>(round / 8 % 256);  // each value in each lane
    if (round % 3 == 0) bytes[(round + 1) % 8] = static_cast<unsigned char>("0 9./"[round % 5]);
    std::uint64_t word;
    std::memcpy(&word, bytes, 8);
    for (int lane = 0; lane < 8; ++lane) {
      const unsigned char b = bytes[lane];
      const auto flagged = [&](std::uint64_t high_bits) { return (high_bits >> (8 * lane + 7) & 1U) != 0; };
      ASSERT_EQ(flagged(lanes::digit_bytes(word)), b >= '0' && b <= '9') << round << ' ' << lane;
      ASSERT_EQ(flagged(lanes::bytes_equal(word, ' ')), b == ' ') << round << ' ' << lane;
      ASSERT_EQ(flagged(lanes::zero_bytes(word)), b == 0) << round << ' ' << lane;
    }
  }
}

class InitAndText : public FreshToolbox {};

TEST_F(InitAndText, InitMeasuresThisMachine) {
  EXPECT_EQ(dfmt_.view(), "(d30.14)");
  EXPECT_NEAR(rprec_, 1e-6F, 1e-12F);
  EXPECT_NEAR(dprec_, 1e-14, 1e-20);
  EXPECT_GT(rmin_, 0.0F);
  EXPECT_NEAR(rmin_ / 1e-40F, 1.0F, 0.01F);
  EXPECT_NEAR(dmin_ / 1e-310, 1.0, 1e-3);
  EXPECT_EQ(dminexp_, -310);
}

TEST(StartValues, BeforeAndAfterInit) {
  reset_state();
  EXPECT_EQ(dminexp_, -307);
  EXPECT_EQ(dfmt_.view(), "(d30.14)");
  EXPECT_EQ(line_, 200);
  EXPECT_EQ(esdlim_, 19);
  EXPECT_EQ(firstline_, 1);
  EXPECT_EQ(lastline_, 0);
  EXPECT_TRUE(ploopwrap_ && aliases_ && palign_ && intabs_ && ptabs_ && pcatname_);
  EXPECT_FALSE(inloop_ || intext_ || insave_ || appendcif_ || pxml_ || nullblank_);
  EXPECT_EQ(state().core.message_unit, 6);
  EXPECT_TRUE(state().dict.checkcats);
  EXPECT_FALSE(state().dict.validnames);
  EXPECT_EQ(state().reader.bookmarks[1].item, -1);
  line_ = 80;
  init_(31, 32, 33, 34);
  EXPECT_EQ(line_, 80);  // init_ leaves the caller's switches alone
  EXPECT_EQ(state().core.message_unit, 34);
  EXPECT_TRUE(version_.view().starts_with("Zatrel version "));
  reset_state();
}

TEST(TextUtilities, Lastnb) {
  EXPECT_EQ(lastnb(std::string(10, ' ')), 1);
  EXPECT_EQ(lastnb(""), 0);
  EXPECT_EQ(lastnb("ab  "), 2);
  EXPECT_EQ(lastnb("ab  ", 1), 1);
  EXPECT_EQ(lastnb(std::string(40, 'x') + std::string(100, ' ')), 40);
  EXPECT_EQ(lastnb("x", -3), -3);
}

TEST(TextUtilities, FixedWidthTextCutsPadsAndMayTakePartOfItself) {
  Text<6> t("abcdefgh");
  EXPECT_EQ(t.view(), "abcdef");
  t = t.view().substr(2, 3);
  EXPECT_EQ(t.view(), "cde   ");
  t = "";
  EXPECT_TRUE(t.blank());
  EXPECT_TRUE(Text<4>("ab") == std::string_view("ab  "));
}

// Trimming skips blanks eight at a time: every length of text, in widths
// below, at and above eight, with blanks and other bytes inside.
TEST(TextUtilities, TrimmedEndsAtTheLastNonBlankInEveryWidth) {
  const auto check = [](auto text, std::size_t width) {
    for (std::size_t length = 0; length <= width; ++length)
      for (const char inner : {' ', 'x', '\t', '\0'}) {
        std::string written(length, inner);
        if (length > 0) written.back() = 'z';
        text = written;
        ASSERT_EQ(text.trimmed(), written) << width << " " << length;
        ASSERT_EQ(text.blank(), length == 0);
      }
  };
  check(Text<1>(), 1);
  check(Text<7>(), 7);
  check(Text<8>(), 8);
  check(Text<9>(), 9);
  check(Text<72>(), 72);
  check(Text<200>(), 200);
}

TEST(TextUtilities, CaseTurnsOnlyTheTwentySixLetters) {
  const std::string lower = locase("_Cell_Length_A");
  EXPECT_EQ(lower.size(), 200u);
  EXPECT_EQ(lower, "_cell_length_a" + std::string(186, ' '));
  EXPECT_EQ(upcase("ab_9\xC3\xA9z").substr(0, 7), "AB_9\xC3\xA9Z");
  EXPECT_EQ(locase("\xC3\x89XYZ").substr(0, 5), "\xC3\x89xyz");
  EXPECT_EQ(locase(std::string(250, 'Q')), std::string(200, 'q'));
}

// Every byte value at every place of texts of every length up to 24 (the
// word-at-a-time path and its overlapping tail) against the plain rule.
TEST(TextUtilities, LowerCasingInPlaceTurnsEveryByteAsThePlainRule) {
  for (std::size_t n = 0; n <= 24; ++n)
    for (int first = 0; first < 256; first += 3) {
      std::string text(n, ' ');
      for (std::size_t i = 0; i < n; ++i) text[i] = static_cast<char>((first + 37 * static_cast<int>(i)) % 256);
      std::string expected = text;
      for (char& c : expected)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      locase_in_place(text.data(), n);
      EXPECT_EQ(text, expected) << "length " << n << ", first byte " << first;
    }
}

class Detab : public FreshToolbox {
 protected:
  std::string expand(const std::string& line) {
    CoreState& core = state().core;
    core.linebuf = line;
    core.linelen = lastnb(core.linebuf.view());
    core.curline = ++line_number_;
    detab();
    return std::string(core.tabbuf.view());
  }
  int line_number_ = 0;
};

TEST_F(Detab, TabsGoToStopsEveryEightColumns) {
  EXPECT_EQ(expand("a\tb").substr(0, 9), "a       b");
  EXPECT_EQ(expand("1234567\tb").substr(0, 9), "1234567 b");    // tab at column 8
  EXPECT_EQ(expand("12345678\tb").substr(0, 17), "12345678        b");  // tab at column 9
  EXPECT_EQ(expand("\t\tx").substr(0, 17), std::string(16, ' ') + "x");
}

TEST_F(Detab, TabsThatWouldPassColumn200StayAndTheLineIsCut) {
  const std::string out = expand(std::string(197, 'a') + "\tb");  // b would land at 201
  EXPECT_EQ(out.size(), 200u);
  EXPECT_EQ(out.substr(196, 4), "a\tb ");
  const std::string spaced = "x" + std::string(24, '\t') + "y";  // 24 tabs reach column 193
  EXPECT_EQ(expand(spaced)[192], 'y');
  EXPECT_EQ(expand("x" + std::string(25, '\t') + "y").substr(192, 3), "\ty ");
}

TEST_F(Detab, TabExpandedColumnAgreesWithDetab) {
  EXPECT_EQ(tab_expanded_column("a\tb", 3), 9);
  EXPECT_EQ(tab_expanded_column("ab", 2), 2);
  EXPECT_EQ(tab_expanded_column("\t\tx", 3), 17);
}

}  // namespace
}  // namespace zatrel
