// name_, find_ and cmnt_: listing names, locating headers, names, values and
// tokens, and reading comments and line ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/state.hpp"
#include "support/fresh_toolbox.hpp"
#include "zatrel/zatrel.hpp"

namespace zatrel {
namespace {

class ItemSearch : public testing::FreshToolbox {
 protected:
  void SetUp() override {
    FreshToolbox::SetUp();
    open_cif(
        "data_first\n# the header\n_Alpha  1.5  # a comment\nloop_\n  _x _y\n  x1 'y 1'\n  x2 y2\n"
        "data_second\n");
    ASSERT_TRUE(data_(""));
  }
  std::vector<std::string> all(std::string_view name, std::string_view keyword) {
    std::vector<std::string> found;
    for (std::string t; find_(name, keyword, t);) found.push_back(t);
    return found;
  }
  std::string text_;
};

TEST_F(ItemSearch, NameListsTheNamesInOrderThenGoesOnAfterAnItemFound) {
  std::vector<std::string> names;
  while (name_(text_)) names.push_back(text_);
  EXPECT_EQ(names, (std::vector<std::string>{"_Alpha", "_x", "_y"}));
  ASSERT_TRUE(test_("_alpha"));
  ASSERT_TRUE(name_(text_));
  EXPECT_EQ(text_, "_x");
}

TEST_F(ItemSearch, FindsTheNameValueOrLoopOfAnItem) {
  ASSERT_TRUE(find_("_alpha", "name", text_));
  EXPECT_EQ(text_, "_Alpha");
  EXPECT_EQ(inlineno_, 3);
  ASSERT_TRUE(find_("_alpha", "valu", text_));
  EXPECT_EQ(text_, "1.5");
  EXPECT_EQ(loopno_, 0);
  ASSERT_TRUE(find_("_alpha", "", text_));
  EXPECT_EQ(text_, "_Alpha") << "an unlooped item answers with its name";
  ASSERT_TRUE(find_("_y", "", text_));
  EXPECT_EQ(text_, "loop_");
  EXPECT_EQ(inlineno_, 4);
  ASSERT_TRUE(find_("_y", "valu", text_));
  EXPECT_EQ(text_, "y2") << "valu steps the loop like any value request";
  EXPECT_EQ(loopno_, 1);
  EXPECT_THROW(find_("_y", "what", text_), Fatal);
  EXPECT_NE(messages().find("#  Call to find_ with invalid arguments\n"), std::string::npos);
}

TEST_F(ItemSearch, FindsTheNameOfALoopedItemItself) {
  ASSERT_TRUE(find_("_y", "name", text_));
  EXPECT_EQ(text_, "_y");
  EXPECT_EQ(namepos_, 6);
  EXPECT_EQ(inlineno_, 5);
}

TEST_F(ItemSearch, NotFoundLeavesTheReadingPositionAlone) {
  ASSERT_TRUE(find_("_alpha", "valu", text_));
  const int line = core().curline;
  const int column = core().curcol;
  EXPECT_FALSE(find_("_absent", "name", text_));
  EXPECT_FALSE(find_("_ALPHA", "name", text_)) << "find_ keeps the case it is given";
  EXPECT_FALSE(find_("alpha", "valu", text_)) << "not the item found last";
  EXPECT_EQ(text_, "");
  EXPECT_EQ(core().curline, line);
  EXPECT_EQ(core().curcol, column);
}

TEST_F(ItemSearch, ABlankNameScansTheTokensOfTheBlock) {
  EXPECT_EQ(all("", "valu"), (std::vector<std::string>{"1.5", "x1", "y 1", "x2", "y2"}));
  EXPECT_EQ(valpos_, 6);
  ASSERT_TRUE(find_("", "head", text_));
  ASSERT_TRUE(data_(""));
  EXPECT_EQ(blockname_.str(), "first") << "head makes data_ start again";
  EXPECT_EQ(all("", "name"), (std::vector<std::string>{"_Alpha", "_x", "_y"}));
  EXPECT_EQ(namepos_, 6);
  EXPECT_EQ(all("", ""), (std::vector<std::string>{"x1", "y 1", "x2", "y2"})) << "only this block's lines";
}

TEST_F(ItemSearch, ATextFieldIsOneToken) {
  open_cif("data_a\n_t\n;\n_inside text\n;\n_after 1\n");
  ASSERT_TRUE(data_(""));
  EXPECT_EQ(all("", "name"), (std::vector<std::string>{"_t", "_after"}));
}

TEST_F(ItemSearch, CommentsAndLineEnds) {
  const std::string end(1, '\0');
  std::vector<std::string> seen;
  while (cmnt_(text_)) seen.push_back(text_);
  EXPECT_EQ(seen, (std::vector<std::string>{end, " the header", end})) << "a token is no comment";
  EXPECT_EQ(text_, "");
  double value = 0;
  double sd = 0;
  ASSERT_TRUE(numd_("_alpha", value, sd));
  ASSERT_TRUE(cmnt_(text_));
  EXPECT_EQ(text_, " a comment");
  EXPECT_EQ(namepos_, 14);
  ASSERT_TRUE(cmnt_(text_));
  EXPECT_EQ(text_, end);
  EXPECT_EQ(vallen_, 1);
}

// A comment cut from the tab-expanded line reports that text's own length.
TEST_F(ItemSearch, AnExpandedCommentReportsItsExpandedLength) {
  open_cif("data_a\n_x 1 #\tb\n");
  ASSERT_TRUE(data_(""));
  ASSERT_TRUE(test_("_x"));
  ASSERT_TRUE(cmnt_(text_));
  EXPECT_EQ(text_, "  b");
  EXPECT_EQ(vallen_, 3);
}

TEST_F(ItemSearch, CommentsRunToTheEndOfTheFile) {
  open_cif("data_a\n_x 1\n#\n\n\t# tabbed\n");
  ASSERT_TRUE(data_(""));
  ASSERT_TRUE(test_("_x"));
  const std::string end(1, '\0');
  std::vector<std::string> seen;
  while (cmnt_(text_)) seen.push_back(text_);
  EXPECT_EQ(seen, (std::vector<std::string>{end, " ", end, " ", end, " tabbed"}));
  EXPECT_EQ(text_, "fini");
  intabs_ = false;
  ASSERT_TRUE(find_("", "head", text_));
  ASSERT_TRUE(data_(""));
  ASSERT_TRUE(find_("_x", "valu", text_));
  seen.clear();
  while (cmnt_(text_)) seen.push_back(text_);
  EXPECT_EQ(seen, (std::vector<std::string>{end, " ", end, " ", end, "\t", " tabbed"}));
}

}  // namespace
}  // namespace zatrel
