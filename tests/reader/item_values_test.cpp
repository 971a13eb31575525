// char_, numb_, numd_ and test_: numbers, text, null values, absent names and
// text fields, and what the caller's text receives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "reader/item_reader.hpp"
#include "support/fresh_toolbox.hpp"
#include "zatrel/zatrel.hpp"

namespace zatrel {
namespace {

class ItemValues : public testing::FreshToolbox {
 protected:
  void open_block(std::string_view cif) {
    open_cif(cif);
    ASSERT_TRUE(data_(""));
  }
  std::string text_;
  double value_ = 0;
  double sd_ = -7;
};

TEST_F(ItemValues, NumbersWithAndWithoutUncertainties) {
  open_block("data_a\n_Cell.Length_A 12.5\n_x 1.234(12)\n_z -0.25\n");
  EXPECT_FALSE(char_("_cell.length_a", text_)) << "a number is no text";
  EXPECT_EQ(text_, "12.5") << "yet its characters are given";
  EXPECT_EQ(vallen_, 4);
  EXPECT_EQ(foundname_.str(), "_Cell.Length_A");
  EXPECT_EQ(dictcat_.str(), "(none)");
  ASSERT_TRUE(numd_("_CELL.length_a", value_, sd_));
  EXPECT_DOUBLE_EQ(value_, 12.5);
  EXPECT_EQ(sd_, -7) << "no uncertainty leaves sd as it was";
  EXPECT_EQ(decpos_, 18);
  ASSERT_TRUE(numd_("_x", value_, sd_));
  EXPECT_DOUBLE_EQ(value_, 1.234);
  EXPECT_NEAR(sd_, 0.012, 1e-15);
  float single = 0;
  float single_sd = 0;
  ASSERT_TRUE(numb_("_x", single, single_sd));
  EXPECT_FLOAT_EQ(single_sd, 0.012F);
  ASSERT_TRUE(numd_("_z", value_, sd_));
  EXPECT_TRUE(inleadzero_);
}

TEST_F(ItemValues, NullValuesAndAbsentNamesGiveNoText) {
  open_block("data_a\n_q ?\n_d .\n_qq '?'\n_t abc\n_b '  '\n");
  EXPECT_FALSE(char_("_q", text_));
  EXPECT_EQ(vallen_, 0);
  EXPECT_FALSE(test_("_d"));
  EXPECT_FALSE(char_("_d", text_)) << "after test_, as if fetched now";
  EXPECT_EQ(text_, "");
  ASSERT_TRUE(char_("_qq", text_)) << "a quoted ? is text";
  EXPECT_EQ(text_, "?");
  EXPECT_EQ(lastquote_.str(), "'");
  EXPECT_FALSE(numd_("_t", value_, sd_));
  EXPECT_EQ(value_, 0);
  EXPECT_FALSE(test_("_absent"));
  EXPECT_FALSE(char_("_absent", text_));
  EXPECT_EQ(text_, "") << "nothing of the value read before";
  EXPECT_FALSE(test_("no_underscore"));
  EXPECT_EQ(vallen_, 1);
  EXPECT_EQ(dictname_.str(), "no_underscore");
  ASSERT_TRUE(char_("_b", text_));
  EXPECT_EQ(text_, "  ");
  nullblank_ = true;
  EXPECT_FALSE(char_("_b", text_));
}

TEST_F(ItemValues, ATextFieldIsReadLineByLine) {
  open_block("data_a\n_t\n;first\nsecond\nthird\n;\n_after 1\n");
  ASSERT_TRUE(char_("_t", text_));
  EXPECT_EQ(text_, " first");
  EXPECT_EQ(itemtype_.str(), "text");
  EXPECT_TRUE(intext_);
  ASSERT_TRUE(char_("_T", text_));
  EXPECT_EQ(text_, "second");
  EXPECT_TRUE(intext_);
  ASSERT_TRUE(char_("_t", text_));
  EXPECT_EQ(text_, "third");
  EXPECT_FALSE(intext_);
  ASSERT_TRUE(char_("_t", text_));
  EXPECT_EQ(text_, " first") << "a fourth call starts again";
  ASSERT_TRUE(numd_("_after", value_, sd_)) << "another name ends the field";
  ASSERT_TRUE(char_("_t", text_));
  EXPECT_EQ(text_, " first");
}

// An unclosed quoted value begins after its quote, as the scanner gives it,
// also when its tabs are expanded.
TEST_F(ItemValues, AnUnclosedQuotedValueWithTabsBeginsAfterTheQuote) {
  open_block("data_a\n_q 'a\tb\n");
  ASSERT_TRUE(char_("_q", text_));
  EXPECT_EQ(text_, "a   b");
  EXPECT_EQ(vallen_, 5);
}

TEST_F(ItemValues, TabsAreExpandedInValuesAndTextLinesUnlessTurnedOff) {
  open_block("data_a\n_v\t'a\tb'\n_t\n;x\ty\n\tz\n;\n");
  ASSERT_TRUE(char_("_v", text_));
  EXPECT_EQ(text_, "a      b");
  EXPECT_EQ(vallen_, 8);
  EXPECT_EQ(valpos_, 10);
  ASSERT_TRUE(char_("_t", text_));
  EXPECT_EQ(text_, " x      y");
  ASSERT_TRUE(char_("_t", text_));
  EXPECT_EQ(text_, "        z") << "a leading tab keeps its width";
  intabs_ = false;
  ASSERT_TRUE(char_("_v", text_));
  EXPECT_EQ(text_, "a\tb");
  EXPECT_EQ(valpos_, 5);
  ASSERT_TRUE(char_("_t", text_));
  EXPECT_EQ(text_, " x\ty");
}

// Lookups are remembered per name: whichever block is selected, and in
// whatever order names are asked for, each answers from the current block.
TEST_F(ItemValues, NamesAnswerFromTheBlockSelectedNow) {
  struct Block {
    const char* name;
    std::vector<std::pair<std::string, std::string>> items;  // in the order written
  };
  const std::vector<Block> blocks = {
      {"a", {{"_x", "1"}, {"_y", "two"}, {"_z", "3.5"}}},
      {"b", {{"_z", "zb"}, {"_x", "xb"}}},
      {"c", {{"_w", "wc"}, {"_y", "yc"}, {"_x", "xc"}, {"_z", "zc"}}},
  };
  std::string cif;
  for (const Block& b : blocks) {
    cif += "data_" + std::string(b.name) + "\n";
    for (const auto& [name, value] : b.items) cif += name + " " + value + "\n";
  }
  open_cif(cif);
  const std::vector<std::string> asked = {"_x", "_Y", "_z", "_w", "_X"};
  for (const char* visit : {"a", "b", "c", "a", "c", "b", "b"}) {
    ASSERT_TRUE(data_(visit)) << visit;
    const Block& block = *std::find_if(blocks.begin(), blocks.end(),
                                       [&](const Block& b) { return std::string(b.name) == visit; });
    for (int pass = 0; pass < 2; ++pass)
      for (std::size_t k = 0; k < asked.size(); ++k) {
        const std::string& name = asked[pass == 0 ? k : asked.size() - 1 - k];
        std::string expected;
        for (const auto& [n, v] : block.items)
          if (n.size() == name.size() && std::equal(n.begin(), n.end(), name.begin(), [](char a, char b) {
                return a == std::tolower(static_cast<unsigned char>(b));
              }))
            expected = v;
        char_(name, text_);
        EXPECT_EQ(text_, expected) << "block " << visit << " name " << name;
      }
  }
  ASSERT_TRUE(purge_());
  EXPECT_FALSE(char_("_x", text_)) << "nothing is left to answer from";
  EXPECT_EQ(text_, "");
}

// Names are turned to lower case eight bytes at a time: every byte value in
// every place, and names longer than the width.
TEST(LowerCaseName, TurnsTheCapitalsAndNothingElse) {
  for (int length : {1, 7, 8, 9, 71, 72, 80})
    for (int b = 0; b < 256; ++b) {
      std::string name(static_cast<std::size_t>(length), ' ');
      std::string expected(Name::width, ' ');
      for (int i = 0; i < length; ++i) {
        const char c = static_cast<char>((b + 37 * i) & 255);
        name[static_cast<std::size_t>(i)] = c;
        if (i < NAMELEN) expected[static_cast<std::size_t>(i)] = c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
      }
      ASSERT_EQ(lower_case_name(name).view(), expected) << length << " " << b;
    }
}

}  // namespace
}  // namespace zatrel
