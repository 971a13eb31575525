// bkmrk_: a mark set inside a loop walk brings back the row then current.
#include <gtest/gtest.h>

#include <string>

#include "support/fresh_toolbox.hpp"
#include "zatrel/zatrel.hpp"

namespace zatrel {
namespace {

class Bookmarks : public testing::FreshToolbox {
 protected:
  void SetUp() override {
    FreshToolbox::SetUp();
    open_cif("data_a\n_u single\nloop_ _a _b\na1 b1\na2 'b 2'\n'a 3' b3\na4 b4\n");
    ASSERT_TRUE(data_(""));
  }
  std::string next(std::string_view name) {
    std::string text;
    char_(name, text);
    return text;
  }
};

TEST_F(Bookmarks, ReturningGivesTheRowCurrentWhenMarked) {
  next("_a");
  EXPECT_EQ(next("_a"), "a2");
  int mark = 0;
  ASSERT_TRUE(bkmrk_(mark));
  EXPECT_EQ(mark, 1);
  EXPECT_EQ(next("_a"), "a 3");
  ASSERT_TRUE(bkmrk_(mark));
  EXPECT_EQ(mark, 0);
  EXPECT_EQ(next("_b"), "b 2");
  EXPECT_TRUE(inloop_);
  EXPECT_EQ(next("_a"), "a2");
  // A row whose first value is quoted comes back whole.
  EXPECT_EQ(next("_a"), "a 3");
  ASSERT_TRUE(bkmrk_(mark));
  EXPECT_EQ(next("_a"), "a4");
  ASSERT_TRUE(bkmrk_(mark));
  EXPECT_EQ(next("_a"), "a 3");
  EXPECT_EQ(next("_b"), "b3");
}

TEST_F(Bookmarks, AMarkOutsideALoopRowRestartsTheLoop) {
  next("_a");
  EXPECT_EQ(next("_u"), "single");
  int mark = 0;
  ASSERT_TRUE(bkmrk_(mark));
  next("_a");
  EXPECT_EQ(next("_a"), "a2");
  ASSERT_TRUE(bkmrk_(mark));
  EXPECT_FALSE(inloop_);
  EXPECT_EQ(next("_a"), "a1");
}

TEST_F(Bookmarks, MarksAreOneShotAtMostMaxbookAndFreedByData) {
  int first = 0;
  ASSERT_TRUE(bkmrk_(first));
  int again = first;
  ASSERT_TRUE(bkmrk_(first));
  EXPECT_FALSE(bkmrk_(again)) << "returning frees the mark";
  int out_of_range = MAXBOOK + 1;
  EXPECT_FALSE(bkmrk_(out_of_range));
  for (int i = 1; i <= MAXBOOK; ++i) {
    int mark = 0;
    ASSERT_TRUE(bkmrk_(mark));
  }
  int mark = 0;
  EXPECT_FALSE(bkmrk_(mark));
  EXPECT_EQ(mark, 0);
  EXPECT_NE(messages().find("#  More than MAXBOOK bookmarks requested\n"), std::string::npos);
  std::string text;
  ASSERT_TRUE(find_("", "head", text));
  ASSERT_TRUE(data_(""));
  ASSERT_TRUE(bkmrk_(mark));
  EXPECT_EQ(mark, 1);
}

TEST_F(Bookmarks, AMarkAfterTheLastNameListedIsHarmless) {
  for (std::string text; name_(text);) {
  }
  int mark = 0;
  ASSERT_TRUE(bkmrk_(mark));
  ASSERT_TRUE(bkmrk_(mark));
  EXPECT_EQ(next("_a"), "a1");
}

}  // namespace
}  // namespace zatrel
