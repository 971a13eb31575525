// Loop stepping: each request for a looped name hands out its next row, and
// inloop_ turns false while the last row is read.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/fresh_toolbox.hpp"
#include "zatrel/zatrel.hpp"

namespace zatrel {
namespace {

class LoopStepping : public testing::FreshToolbox {
 protected:
  void open_block(std::string_view cif) {
    open_cif(cif);
    ASSERT_TRUE(data_(""));
  }
  // The value handed out, and inloop_ right after the request (+ or .).
  std::string next(std::string_view name) {
    std::string text;
    char_(name, text);
    return text + (inloop_ ? " +" : " .");
  }
};

constexpr std::string_view kTwoNames = "data_a\nloop_ _a _b\na1 b1\na2 b2\na3 b3\n";

TEST_F(LoopStepping, TwoNamesCycleByCycleThenAgainFromRowOne) {
  open_block(kTwoNames);
  const std::vector<std::string> expected{"a1 +", "b1 +", "a2 +", "b2 +", "a3 .", "b3 .", "a1 +", "b1 +"};
  std::vector<std::string> seen;
  for (int cycle = 0; cycle < 4; ++cycle) {
    seen.push_back(next("_a"));
    seen.push_back(next("_b"));
  }
  EXPECT_EQ(seen, expected);
}

TEST_F(LoopStepping, ANameAskedTwiceInARowGetsTheNextRow) {
  open_block(kTwoNames);
  EXPECT_EQ(next("_a"), "a1 +");
  EXPECT_EQ(next("_a"), "a2 +");
  EXPECT_EQ(next("_b"), "b2 +") << "the packet read is row 2's";
  EXPECT_TRUE(test_("_a"));
  EXPECT_EQ(loopno_, 1);
  EXPECT_TRUE(test_("_a")) << "tested twice, fetched once";
  EXPECT_EQ(next("_a"), "a3 .") << "test_ then char_ give the same row";
}

TEST_F(LoopStepping, OnePacketLoopsOtherLoopsAndUnloopedItems) {
  open_block("data_a\n_u single\nloop_ _a\na1 a2 a3\nloop_ _c _d\nc1 d1\n");
  EXPECT_EQ(next("_c"), "c1 .") << "a one-packet loop is done at its first request";
  EXPECT_EQ(next("_d"), "d1 .");
  EXPECT_EQ(next("_a"), "a1 +");
  EXPECT_EQ(next("_a"), "a2 +");
  EXPECT_EQ(next("_c"), "c1 .");
  EXPECT_EQ(next("_a"), "a1 +") << "another loop ended the pass";
  EXPECT_EQ(next("_u"), "single .");
  EXPECT_EQ(next("_a"), "a1 +") << "so did an unlooped item";
  EXPECT_EQ(next("_absent"), " +") << "an absent name does not";
  EXPECT_EQ(next("_a"), "a2 +");
}

TEST_F(LoopStepping, PacketsMayRunOverLinesAndHoldTextFields) {
  open_block("data_a\nloop_ _t _n _q\n;\nfirst\n;\n1 'one two'\n;\nsecond\n;\n2\n\"x\"\n");
  std::vector<std::string> seen;
  do {
    std::string text;
    while (char_("_t", text) && intext_) {
    }
    seen.push_back(text);
    char_("_n", text);
    seen.push_back(text);
    char_("_q", text);
    seen.push_back(text + lastquote_.str());
  } while (inloop_);
  EXPECT_EQ(seen, (std::vector<std::string>{"first", "1", "one two'", "second", "2", "x\""}));
}

TEST_F(LoopStepping, ValuesAreTypedAndPlacedByTheirColumns) {
  open_block("data_a\nloop_ _x _y _mixed\n  1.2(3) 'q z' 1.5\n  12 ? ?\n\t1 . abc\n");
  double v = 0;
  double sd = 0;
  std::string text;
  ASSERT_TRUE(numd_("_x", v, sd));
  EXPECT_EQ(valpos_, 3);
  EXPECT_EQ(endpos_, 8);
  EXPECT_EQ(decpos_, 4);
  ASSERT_TRUE(char_("_y", text));
  EXPECT_EQ(valpos_, 11);
  EXPECT_EQ(endpos_, 13);
  EXPECT_EQ(lastquote_.str(), "'");
  EXPECT_EQ(namepos_, 10);
  EXPECT_TRUE(char_("_mixed", text)) << "1.5, ? and abc make a text column";
  ASSERT_TRUE(numd_("_x", v, sd));
  EXPECT_EQ(decpos_, 5) << "without a point, the column after the number";
  EXPECT_FALSE(char_("_y", text));
  EXPECT_FALSE(char_("_mixed", text));
  ASSERT_TRUE(numd_("_x", v, sd)) << "1.2(3), 12 and 1 make a number column";
  EXPECT_EQ(valpos_, 9) << "after a tab";
  EXPECT_EQ(itemtype_.str(), "numb");
  EXPECT_FALSE(char_("_y", text));
  EXPECT_EQ(itemtype_.str(), "null");
  intabs_ = false;
  ASSERT_TRUE(numd_("_x", v, sd));
  ASSERT_TRUE(numd_("_x", v, sd));
  ASSERT_TRUE(numd_("_x", v, sd));
  EXPECT_EQ(valpos_, 2);
}

// Random loops, their values laid out on lines in random ways: every value
// comes back in order, and a column reads as numbers exactly while all its
// non-null values are numbers, however the lines and rows fall.
TEST_F(LoopStepping, RandomLoopsComeBackValueByValueAndTypedByColumn) {
  struct Value {
    std::string written;
    std::string text;  // as char_ gives it
    char kind;         // n: number, c: other word, 0: null
  };
  const std::vector<Value> numbers = {{"1.5", "1.5", 'n'}, {"-2", "-2", 'n'}, {"3.25(4)", "3.25(4)", 'n'},
                                      {"1e5", "1e5", 'n'}, {"+.5", "+.5", 'n'}, {"0", "0", 'n'}};
  const std::vector<Value> words = {{"abc", "abc", 'c'}, {"1a", "1a", 'c'},       {"1.2.3", "1.2.3", 'c'},
                                    {"(1)", "(1)", 'c'}, {"'q s'", "q s", 'c'},   {"x#y", "x#y", 'c'},
                                    {"\"1.5\"", "1.5", 'c'}};
  const std::vector<Value> nulls = {{"?", "", 0}, {".", "", 0}};
  std::mt19937 random(99);
  const auto pick = [&random](const std::vector<Value>& from) { return from[random() % from.size()]; };
  for (int round = 0; round < 60; ++round) {
    const int columns = 1 + static_cast<int>(random() % 6);
    const int rows = 1 + static_cast<int>(random() % 12);
    std::vector<std::vector<Value>> table(static_cast<std::size_t>(rows));
    std::vector<bool> numeric(static_cast<std::size_t>(columns), true);
    std::vector<bool> any_value(static_cast<std::size_t>(columns), false);
    for (auto& row : table)
      for (int k = 0; k < columns; ++k) {
        const unsigned draw = random() % 10;
        const Value v = draw < 6 ? pick(numbers) : draw < 8 ? pick(words) : pick(nulls);
        // Mostly numbers per column, so that a column turns to text late.
        row.push_back(k % 2 == 0 && v.kind == 'c' && random() % 2 == 0 ? pick(numbers) : v);
        if (row.back().kind == 'c') numeric[static_cast<std::size_t>(k)] = false;
        if (row.back().kind != 0) any_value[static_cast<std::size_t>(k)] = true;
      }
    std::string cif = "data_r\nloop_\n";
    for (int k = 0; k < columns; ++k) cif += "_c" + std::to_string(k) + "\n";
    for (const auto& row : table)
      for (const Value& v : row) {
        const unsigned gap = random() % 12;
        cif += v.written + (gap == 0 ? "\n" : gap == 1 ? " # note\n" : gap == 2 ? "\t" : gap == 3 ? "\n   " : " ");
      }
    cif += "\n_after 7\n";
    open_block(cif);
    for (int r = 0; r < rows; ++r)
      for (int k = 0; k < columns; ++k) {
        const Value& v = table[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)];
        std::string text;
        char_("_c" + std::to_string(k), text);
        ASSERT_EQ(text, v.text) << "round " << round << " row " << r << " column " << k << "\n" << cif;
        const std::string expected = v.kind == 0 ? "null" : numeric[static_cast<std::size_t>(k)] ? "numb" : "char";
        ASSERT_EQ(itemtype_.str(), expected) << "round " << round << " row " << r << " column " << k << "\n" << cif;
        ASSERT_EQ(inloop_, r + 1 < rows);
      }
    std::string after;
    char_("_after", after);  // a number: false, with its characters given
    EXPECT_EQ(after, "7");
    EXPECT_EQ(itemtype_.str(), "numb");
  }
}

TEST_F(LoopStepping, ALongLoopIsReadToTheEnd) {
  std::string cif = "data_a\nloop_ _i _sq\n";
  for (int i = 1; i <= 3000; ++i) cif += std::to_string(i) + " " + std::to_string(i * i) + "\n";
  open_block(cif);
  int rows = 0;
  do {
    double i = 0;
    double sq = 0;
    double sd = 0;
    ASSERT_TRUE(numd_("_i", i, sd));
    ASSERT_TRUE(numd_("_sq", sq, sd));
    ASSERT_EQ(i, ++rows);
    ASSERT_DOUBLE_EQ(sq, i * i);
  } while (inloop_);
  EXPECT_EQ(rows, 3000);
}

}  // namespace
}  // namespace zatrel
