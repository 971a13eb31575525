// putstr: where pieces go, when lines are written, loop columns, tabs,
// re-spacing, and the cases that must stay inside the line buffers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "writer/writer_fixture.hpp"

namespace zatrel {
namespace {

using Lines = std::vector<std::string>;
using testing::at_columns;

class LineLayout : public testing::WriterTest {
 protected:
  bool warned(std::string_view text) { return messages().find("# " + std::string(text) + "\n") != std::string::npos; }
};

TEST_F(LineLayout, PiecesThatDoNotFitFoldToTheNextLine) {
  line_ = 80;
  const std::string v90(90, 'x');
  put({"_a", v90});
  EXPECT_EQ(finished(), (Lines{"_a", v90}));
  EXPECT_TRUE(warned(" Output CIF line longer than line_"));
}

// These hold with palign_ false: re-spacing would move the value.
TEST_F(LineLayout, ValueAfterNameEndsAtTheWidthWhenItDoesNotFit) {
  line_ = 80;
  palign_ = false;
  const std::string v78(78, 'y'), v77(77, 'z');
  put({"_b", v78});
  put_on_new_line("_b");
  putstr(v77);
  EXPECT_EQ(finished(), (Lines{"_b", "  " + v78, "_b " + v77}));
  EXPECT_EQ(messages(), "");
}

TEST_F(LineLayout, BlankPiecesAndEmptyLines) {
  palign_ = false;
  put_on_new_line("");  // before the first line of a file: nothing
  EXPECT_EQ(outlineno_, 0);
  put({"abc"});
  put_on_new_line("");  // writes abc
  put_on_new_line("");  // an empty line
  writer().nextcol = 5;
  putstr("");  // blanks only: the line is written as one blank
  put_on_new_line("");
  put({"a", "", "b"});  // a blank piece advances the column by one
  EXPECT_EQ(finished(), (Lines{"abc", "", " ", "a  b"}));
  EXPECT_EQ(outlineno_, 4);
}

TEST_F(LineLayout, PrefixBeginsEveryLine) {
  palign_ = false;
  set_prefix("pre>");
  put({"abc"});
  put_on_new_line("");
  put_on_new_line("");  // the prefix alone
  put({"def"});
  EXPECT_EQ(finished(), (Lines{"pre>abc", "pre>", "pre>def"}));
}

TEST_F(LineLayout, NulPieceEndsTheLineLoneTabTakesTheBlank) {
  palign_ = false;
  put({"a", kFullLinePiece});
  writer().nextcol = 1;  // callers say where the next line's piece goes
  put({"b"});
  ptabs_ = false;
  put({"c", "\t", "d"});
  EXPECT_EQ(finished(), (Lines{"a", "b c \td"}));
}

TEST_F(LineLayout, TabsExpandToStopsEveryEightColumns) {
  palign_ = false;
  put_on_new_line("a\tb");
  put_on_new_line("1234567\tb");   // tab in column 8
  put_on_new_line("12345678\tb");  // tab in column 9
  EXPECT_EQ(finished(), (Lines{at_columns({{1, "a"}, {9, "b"}}), at_columns({{1, "1234567"}, {17, "b"}}),
                               at_columns({{1, "12345678"}, {17, "b"}})}));
}

TEST_F(LineLayout, AlignedLoopColumnsAtWidth80) {
  line_ = 80;
  struct Case {
    int names;
    std::vector<int> first_row;
  };
  for (const Case& c : {Case{3, {9, 25, 41}}, Case{4, {9, 25, 41, 57}}, Case{5, {1, 17, 33, 49, 65}}}) {
    SCOPED_TRACE(c.names);
    end_line();
    const auto before = static_cast<std::ptrdiff_t>(lines().size());
    in_loop_values(c.names);
    for (int row = 0; row < 2; ++row)
      for (int i = 0; i < c.names; ++i) putstr("v" + std::to_string(i));
    const Lines all = finished();
    const Lines lines(all.begin() + before, all.end());
    ASSERT_EQ(lines.size(), 2U);
    for (const std::string& line : lines)
      for (int i = 0; i < c.names; ++i) EXPECT_EQ(line.substr(c.first_row[i] - 1, 2), "v" + std::to_string(i));
  }
}

TEST_F(LineLayout, WideLoopRowsContinueIndentedOnBinStops) {
  line_ = 80;
  in_loop_values(12);
  for (int i = 1; i <= 12; ++i) putstr(std::string(1, static_cast<char>('a' + i - 1)));
  EXPECT_EQ(finished(), (Lines{"a       b       c       d       e       f       g       h       i       j",
                               "  k       l"}));
}

TEST_F(LineLayout, FinishedLinesAreRespaced) {
  line_ = 80;
  put({"abc"});  // a short line of plain values is indented by one stop
  put_on_new_line("_cell_length_a");
  putstr("5.4309(3)");  // one piece: moved to its share of the line
  put_on_new_line("a");
  put({"b", "c", "d", "e"});  // four pieces: 6-column stops
  EXPECT_EQ(finished(), (Lines{"        abc", at_columns({{1, "_cell_length_a"}, {33, "5.4309(3)"}}),
                               at_columns({{1, "a"}, {13, "b"}, {31, "c"}, {43, "d"}, {55, "e"}})}));
}

// A text field's lines are its value: never indented or re-spaced.
TEST_F(LineLayout, TextFieldLinesKeepTheirColumns) {
  line_ = 80;
  put_on_new_line(";");
  writer().intextfield = true;
  put_on_new_line("word one");
  put_on_new_line("x");
  writer().intextfield = false;
  put_on_new_line(";");
  put_on_new_line("after");
  EXPECT_EQ(finished(), (Lines{";", "word one", "x", ";", "        after"}));
}

TEST_F(LineLayout, NumberPointInTheCallersColumn) {
  palign_ = false;
  pdecpos_ = 10;
  putnum(1234.5678, 0.0, dprec_);
  EXPECT_EQ(finished(), (Lines{at_columns({{6, "1234.5678"}})}));
}

// A prefix longer than the width: pieces follow it, each line drawing the
// warning; the prefix never takes the whole buffer.
TEST_F(LineLayout, PrefixLongerThanTheWidth) {
  line_ = 80;
  palign_ = false;
  const std::string prefix(90, 'p');
  set_prefix(prefix);
  put({"abc"});
  put_on_new_line("def");
  EXPECT_EQ(finished(), (Lines{prefix + "abc", prefix + "def"}));
  EXPECT_TRUE(warned(" Output CIF line longer than line_"));

  // The last column always stays for pieces; the fold on the empty line
  // writes the prefix alone first, as any new line asked for there does.
  set_prefix(std::string(200, 'q'));
  put({"xyz"});
  const std::string q(199, 'q');
  EXPECT_EQ(finished(), (Lines{prefix + "abc", prefix + "def", q, q + "x", q + "y", q + "z"}));
  EXPECT_TRUE(warned(" Output piece longer than the line buffer continued on the next line"));
}

// Fewer than two 8-column bins after the prefix: each loop value starts a
// line of its own after the prefix.
TEST_F(LineLayout, LoopWithoutRoomForBins) {
  line_ = 80;
  set_prefix(std::string(66, '>'));
  in_loop_values(3);
  put({"a", "b", "c", "d"});
  const std::string p(66, '>');
  EXPECT_EQ(finished(), (Lines{p + "a", p + "b", p + "c", p + "d"}));
}

// Tabs that would carry text past column 200 stay unexpanded, as in input lines.
TEST_F(LineLayout, TabsExpandingPastTheBuffer) {
  palign_ = false;
  put({"a" + std::string(30, '\t') + "b"});
  EXPECT_EQ(finished(), (Lines{"a" + std::string(191, ' ') + std::string(6, '\t') + "b"}));
}

}  // namespace
}  // namespace zatrel
