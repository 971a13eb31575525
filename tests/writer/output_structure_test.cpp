// The output operations' layouts: blocks, loops with their DUMMY
// completions, text fields and comments, in CIF and XML.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "writer/output_ops.hpp"
#include "writer/output_ops_fixture.hpp"

namespace zatrel {
namespace {

using testing::Lines;

class OutputStructure : public testing::OutputOpsTest {};

struct StructureCase {
  std::string what;
  std::function<void()> calls;  // between pfile_ and close_
  Lines expected;
  std::vector<std::string> warnings;
};

const std::string kMissingItems = " Missing: missing loop_ items set as DUMMY";
const std::string kMissingName = " Missing: missing loop_ name set as _DUMMY";

const std::vector<StructureCase> kCifCases = {
    {"short last row gets DUMMY",
     [] {
       ploop_("_a");
       ploop_("_b");
       for (const char* v : {"1", "2", "3"}) pchar_(" ", v);
     },
     {"loop_", "_a", "_b", "1 2", "3 DUMMY"},
     {kMissingItems}},
    {"names then a named item: a row of DUMMY",
     [] {
       ploop_("_a");
       ploop_("_b");
       pchar_("_c", "x");
     },
     {"loop_", "_a", "_b", "DUMMY DUMMY", "_c x"},
     {kMissingItems}},
    {"a blank ploop_ then close_",
     [] { ploop_(" "); },
     {"loop_", "_DUMMY", "DUMMY"},
     {kMissingName, kMissingItems}},
    {"values in a loop without names get the name _DUMMY first",
     [] {
       ploop_(" ");
       pchar_(" ", "v");
     },
     {"loop_", "_DUMMY", "v"},
     {kMissingName}},
    {"two loops in a row",
     [] {
       ploop_("_a");
       pchar_(" ", "1");
       ploop_("_b");
       pchar_(" ", "2");
     },
     {"loop_", "_a", "1", "loop_", "_b", "2"},
     {}},
    {"ptext_ with a blank first line",
     [] {
       ptext_("_t", " ");
       ptext_("_t", "text");
     },
     {"_t", ";", "text", ";"},
     {}},
    {"ptext_ with a first line that begins with a blank",
     [] { ptext_("_t", " first"); },
     {"_t", ";first", ";"},
     {}},
    {"ptext_ twice, then pchar_ closes the field",
     [] {
       ptext_("_t", "l1");
       ptext_("_t", "l2");
       pchar_("_u", "v");
     },
     {"_t", ";", "l1", "l2", ";", "_u v"},
     {}},
    {"a text field in a loop is closed before the row is completed",
     [] {
       ploop_("_a");
       ploop_("_b");
       ptext_(" ", "x");
       pdata_("next");
     },
     {"loop_", "_a", "_b", ";", "x", ";", "  DUMMY", "data_next"},
     {kMissingItems}},
    {"pcmnt_ of abc and a blank comment",
     [] {
       pchar_("_a", "1");
       pcmnt_("abc");
       pcmnt_(" ");
       pchar_("_b", "2");
     },
     {"_a 1", "#abc", " ", "_b 2"},  // an otherwise empty line is one blank
     {}},
    {"duplicate block names: written again",
     [] {
       EXPECT_TRUE(pdata_("one"));
       EXPECT_FALSE(pdata_("one"));
     },
     {"data_one", "data_one"},
     {}},
    {"pdata_ with a blank name ends loop, field and frame and writes nothing else",
     [] {
       psave_ = true;
       pdata_("frame");
       psave_ = false;
       ploop_("_a");
       pchar_(" ", "1");
       EXPECT_TRUE(pdata_(" "));
     },
     {"save_frame", "loop_", "_a", "1", "save_"},
     {}},
};

TEST_F(OutputStructure, CifLayouts) {
  for (const StructureCase& c : kCifCases) {
    SCOPED_TRACE(c.what);
    SetUp();
    ASSERT_TRUE(pfile_(" "));
    c.calls();
    EXPECT_EQ(closed(), c.expected);
    for (const std::string& w : c.warnings) EXPECT_TRUE(warned(w)) << w;
    if (c.warnings.empty()) {
      EXPECT_EQ(messages(), "");
    }
    TearDown();
  }
}

TEST_F(OutputStructure, TheHundredAndFirstBlockNameIsNotRemembered) {
  pfile_(" ");
  for (int k = 1; k <= 101; ++k) EXPECT_TRUE(pdata_("b" + std::to_string(k)));
  EXPECT_FALSE(pdata_("b100"));
  EXPECT_TRUE(pdata_("b101"));
}

TEST_F(OutputStructure, EotextOutOfSequenceWarnsAndWritesNothing) {
  pfile_(" ");
  eotext(state());
  EXPECT_EQ(closed(), Lines{});
  EXPECT_TRUE(warned(" Out-of-sequence call to end text block"));
}

// The example document, with palign_ false under which the value stands one
// blank after its tag.
TEST_F(OutputStructure, XmlDocumentOfTwoItems) {
  pxml_ = true;
  pfile_(" ");
  pdata_("test");
  pnumd_("_cell.length_a", 5.4309, 0.0003);
  pnumd_("_cell.length_b", 5.4309, 0.0003);
  EXPECT_EQ(closed(), (Lines{R"(<?xml version="1.0"?>)", "<test>", "<CELL>", "<cell.length_a> 5.4309(3)",
                             "</cell.length_a>", "<cell.length_b> 5.4309(3)", "</cell.length_b>", "</CELL>",
                             "</test>"}));
}

TEST_F(OutputStructure, XmlComments) {
  pxml_ = true;
  pfile_(" ");
  pcmnt_("a--b");
  pcmnt_("x->");
  const Lines out = closed();
  ASSERT_GE(out.size(), 3U);
  EXPECT_EQ(out[1], R"(<!-- a-\-b -->)");
  EXPECT_EQ(out[2], R"(<!-- x-> -->)");
}

TEST_F(OutputStructure, XmlOfSeveralBlocksHasOneRoot) {
  pxml_ = true;
  pfile_(" ");
  pdata_("one");
  pchar_("_a.b", "1");
  psave_ = true;
  pdata_("frame");
  psave_ = false;
  pchar_("_c.d", "2");
  pdata_("two");
  pchar_("_a.b", "3");
  EXPECT_EQ(closed(), (Lines{R"(<?xml version="1.0"?>)", "<one>", "<A>", "<a.b> 1", "</a.b>", "</A>", "<save_>",
                             "<C>", "<c.d> 2", "</c.d>", "</C>", "</save_>", "<two>", "<A>", "<a.b> 3", "</a.b>",
                             "</A>", "</two>", "</one>"}));
}

TEST_F(OutputStructure, NoPrefixInXml) {
  prefx_("p> ", 3);
  pxml_ = true;
  pfile_(" ");
  pdata_("t");
  prefx_("<&", 2);
  EXPECT_EQ(closed(), (Lines{R"(<?xml version="1.0"?>)", "<t>", "</t>"}));
  EXPECT_TRUE(warned(" Prefix ignored in XML output"));
}

TEST_F(OutputStructure, AShorterPrefixLeavesNothingOfTheOldOne) {
  pfile_(" ");
  prefx_("ABCD", 4);
  pchar_("_a", "1");
  prefx_("X", 1);
  pchar_("_b", "2");
  prefx_(" ", 0);
  pchar_("_c", "3");
  // The line in hand is written when the prefix changes; the next item's
  // new line then leaves the new prefix alone on one.
  EXPECT_EQ(closed(), (Lines{"ABCD_a 1", "X", "X_b 2", "", "_c 3"}));
}

TEST_F(OutputStructure, ALongPrefixKeepsTheLastLine) {
  pfile_(" ");
  const std::string prefix(250, 'p');
  prefx_(prefix, 250);
  pchar_("_a", "1");
  const Lines out = closed();
  // One column is left after the prefix: the pieces go on over the lines.
  std::string tails;
  for (const std::string& line : out) tails += line.substr(prefix_columns(state().writer));
  EXPECT_EQ(tails, "_a1");
  EXPECT_TRUE(warned(" Prefix string truncated"));
}

}  // namespace
}  // namespace zatrel
