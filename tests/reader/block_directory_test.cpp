// data_: headers, save frames, global_, blocks without header, the block
// grammar with its fatal messages, and blocks that share a line.
#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "support/fresh_toolbox.hpp"
#include "zatrel/zatrel.hpp"

namespace zatrel {
namespace {

class BlockDirectory : public testing::FreshToolbox {
 protected:
  std::string value(std::string_view name) {
    std::string text;
    char_(name, text);
    return text;
  }
  std::vector<std::string> names() {
    std::vector<std::string> all;
    for (std::string n; name_(n);) all.push_back(n);
    return all;
  }
  bool told(std::string_view text) {
    return messages().find("# " + std::string(text) + "\n") != std::string::npos;
  }
};

TEST_F(BlockDirectory, BlankRequestsStepThroughBlocksNamedOnesSearchFromTheStart) {
  open_cif("data_first\n_a 1\ndata_Second\n_b 2\nsave_MYBLOCK\n_s 3\nsave_\ndata_myblock\n_m 4\n");
  ASSERT_TRUE(data_(""));
  EXPECT_EQ(blockname_.str(), "first");
  ASSERT_TRUE(data_(""));
  EXPECT_EQ(value("_b"), "2");
  EXPECT_FALSE(test_("_a"));
  ASSERT_TRUE(data_("MyBlock")) << "the save frame comes first";
  EXPECT_TRUE(insave_);
  EXPECT_EQ(blockname_.str(), "MYBLOCK");
  EXPECT_EQ(namepos_, 1);
  EXPECT_FALSE(data_("absent")) << "passing the frame's header again is no nesting";
  EXPECT_EQ(blockname_.str(), "MYBLOCK");
  EXPECT_TRUE(names().empty());
}

TEST_F(BlockDirectory, SaveFrameThenTheRestOfItsBlockWithoutWarning) {
  open_cif("data_outer\n_o1 1\nsave_frame\n_f 2\n  save_\n_o2 3\nglobal_\n_g 4\n");
  ASSERT_TRUE(data_(""));
  EXPECT_EQ(names(), std::vector<std::string>{"_o1"});
  ASSERT_TRUE(data_(""));
  EXPECT_TRUE(insave_);
  EXPECT_EQ(valpos_, 3) << "the terminator's column";
  EXPECT_EQ(value("_f"), "2");
  ASSERT_TRUE(data_(""));
  EXPECT_FALSE(insave_);
  EXPECT_TRUE(blockname_.blank());
  EXPECT_EQ(value("_o2"), "3");
  ASSERT_TRUE(data_(""));
  EXPECT_TRUE(inglobal_);
  EXPECT_EQ(blockname_.str(), "l_");
  EXPECT_EQ(value("_g"), "4");
  EXPECT_EQ(messages(), "");
  EXPECT_FALSE(data_("global_")) << "only a blank request takes global_";
}

TEST_F(BlockDirectory, NamesBeforeAnyHeaderFormABlockWithABlankName) {
  open_cif(";\n_fake 0\n;\n_x 1\n_y two\n");
  ASSERT_TRUE(data_(""));
  EXPECT_TRUE(blockname_.blank());
  EXPECT_TRUE(told(" Data block header missing"));
  EXPECT_EQ(names(), (std::vector<std::string>{"_x", "_y"})) << "a text field outside blocks is passed over";
  EXPECT_EQ(value("_y"), "two");
}

TEST_F(BlockDirectory, NamesKeepTheirSpellingAndTheFirstOfTwoOccurrences) {
  open_cif("data_a\n_Cell.Length_A 5\n_CELL.length_A 6\nloop_\ndata_b\nloop_\n");
  ASSERT_TRUE(data_(""));
  EXPECT_TRUE(told(" Duplicate data item _CELL.length_A")) << "the name as written the second time";
  EXPECT_EQ(names(), std::vector<std::string>{"_Cell.Length_A"});
  EXPECT_EQ(value("_CELL.length_a"), "5");
  EXPECT_EQ(foundname_.str(), "_Cell.Length_A");
  EXPECT_TRUE(data_("")) << "empty loops are accepted";
}

// Names are kept to 72 characters; one that is cut is named in full, since
// names that differ only further on now stand for one item.
TEST_F(BlockDirectory, NamesCutToTheirWidthAreNamedInFull) {
  const std::string stem = "_" + std::string(71, 'n');
  const std::string block = std::string(72, 'b');
  open_cif("data_" + block + "XYZ\n" + stem + "_first 1\n" + stem + "_second 2\n" + stem + " 3\n");
  ASSERT_TRUE(data_(""));
  EXPECT_EQ(blockname_.str(), block);
  const std::string m = messages();
  // Messages are folded at 80 characters, here before the name.
  EXPECT_NE(m.find("#  Block name longer than 72 characters cut to 72:\n# data_" + block + "XYZ\n"), std::string::npos);
  for (const char* tail : {"_first", "_second"})
    EXPECT_NE(m.find("#  Data name longer than 72 characters cut to 72:\n# " + stem + tail + "\n"), std::string::npos)
        << tail;
  EXPECT_EQ(m.find("cut to 72", m.find(stem + "_second")), std::string::npos) << "a name of 72 is not cut";
  EXPECT_NE(m.find("#  Duplicate data item\n# " + stem + "\n"), std::string::npos);
  EXPECT_EQ(value(stem), "1");
}

// data_ leaves a global_ block behind whenever it takes another block, so
// that the later block's messages are headed with its own name.
TEST_F(BlockDirectory, LeavingAGlobalBlockHeadsLaterMessagesWithTheBlock) {
  open_cif("global_\n_g 1\n_g 2\ndata_after\n_a 1\n_a 2\n");
  ASSERT_TRUE(data_(""));
  EXPECT_TRUE(inglobal_);
  ASSERT_TRUE(data_(""));
  EXPECT_FALSE(inglobal_);
  const std::string file = path("input.cif");
  EXPECT_NE(messages().find("#  zatrel warning: " + file + " global_ line:      3\n#  Duplicate data item _g\n"),
            std::string::npos);
  EXPECT_NE(messages().find("#  zatrel warning: " + file + " data_after line:      6\n#  Duplicate data item _a\n"),
            std::string::npos)
      << messages();
}

struct GrammarError {
  std::string cif;
  const char* message;
};

// Test listings name each case by its message.
void PrintTo(const GrammarError& e, std::ostream* os) { *os << '"' << e.message << '"'; }

class BlockGrammar : public BlockDirectory, public ::testing::WithParamInterface<GrammarError> {};

TEST_P(BlockGrammar, StopsWithItsMessage) {
  open_cif(GetParam().cif);
  EXPECT_THROW(while (data_("")){}, Fatal);
  EXPECT_TRUE(told(GetParam().message)) << messages();
}

// Lines made of a piece repeated n times, # standing for the count.
std::string many(const std::string& piece, int n) {
  std::string all;
  for (int i = 1; i <= n; ++i) {
    std::string p = piece;
    for (std::size_t at; (at = p.find('#')) != std::string::npos;) p.replace(at, 1, std::to_string(i));
    all += p;
  }
  return all;
}

INSTANTIATE_TEST_SUITE_P(
    EveryFatalMessage, BlockGrammar,
    ::testing::Values(GrammarError{"data_a\nloop_ _x _y _z\n1 2 3 4 5 6 7\n", " Item miscount in loop"},
                      GrammarError{"data_a\nloop_\n1 2\n", " Illegal tag/value construction"},
                      GrammarError{"data_a\n_x\n_y 1\n", " Illegal tag/value construction"},
                      GrammarError{"data_a\n_x 1 2\n", " Illegal tag/value construction"},
                      GrammarError{"data_a\n1\n", " Illegal tag/value construction"},
                      GrammarError{"data_a\nloop_ _x\n", " Illegal tag/value construction"},
                      GrammarError{"data_a\n_x 1\nsave_\n", " Save frame terminator found out of context"},
                      GrammarError{"save_a\n_x 1\nsave_b\n_y 2\n", " Prior save frame not terminated"},
                      GrammarError{";\nnever closed\n", " Unexpected end of data"},
                      GrammarError{"data_a\n_x\n;\nnever closed\n", " Unexpected end of data"},
                      GrammarError{"data_a\n" + many("loop_ _l# 1\n", 51), " Number of loop_s > NUMLOOP"},
                      GrammarError{"data_a\nloop_\n" + many("_i#\n", 51) + many("1\n", 51),
                                   " Items per loop packet > NUMITEM"},
                      GrammarError{"data_a\n" + many("_n# 1\n", 2501), " Number of data names > NUMBLOCK"}));

TEST_F(BlockDirectory, LimitsThemselvesAreAccepted) {
  open_cif("data_a\n" + many("loop_ _l# 1\n", 49) + "loop_\n" + many("_i#\n", 50) + many("1\n", 50) +
           many("_n# 1\n", 2500 - 99));
  ASSERT_TRUE(data_(""));
  EXPECT_EQ(value("_i50"), "1");
  EXPECT_EQ(value("_n2401"), "1");
}

// A value on the line of the header that ends its block belongs to its own
// block, and nothing of the next block to it.
TEST_F(BlockDirectory, BlocksThatShareALineKeepTheirOwnValues) {
  open_cif("data_a\n_x 1 data_b _y 'two' save_f _z 3 save_ _v 5 data_c\n_w 4\n");
  ASSERT_TRUE(data_(""));
  std::string token;
  EXPECT_TRUE(find_("", "", token));
  EXPECT_TRUE(find_("", "", token));
  EXPECT_EQ(token, "1");
  EXPECT_FALSE(find_("", "", token)) << "data_b belongs to the next block";
  EXPECT_EQ(value("_x"), "1");
  EXPECT_FALSE(test_("_y")) << "and test_ leaves nothing behind for the next block";
  ASSERT_TRUE(data_(""));
  EXPECT_EQ(value("_y"), "two");
  ASSERT_TRUE(data_(""));
  EXPECT_TRUE(insave_);
  EXPECT_EQ(value("_z"), "3");
  ASSERT_TRUE(data_("")) << "the rest of b, after the frame";
  EXPECT_EQ(value("_v"), "5");
  ASSERT_TRUE(data_(""));
  EXPECT_EQ(value("_w"), "4");
  EXPECT_FALSE(data_(""));
}

TEST_F(BlockDirectory, AHeaderOnTheClosingLineOfATextFieldStartsTheNextBlock) {
  open_cif("data_a\n_t\n;\nsome text\n; data_b\n_y 2\n");
  ASSERT_TRUE(data_(""));
  std::string text;
  while (char_("_t", text) && intext_) {
  }
  EXPECT_EQ(text, "some text");
  ASSERT_TRUE(data_(""));
  EXPECT_EQ(blockname_.str(), "b");
  EXPECT_EQ(value("_y"), "2");
}

}  // namespace
}  // namespace zatrel
