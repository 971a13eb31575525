#include "fixed_line.hpp"

#include <gtest/gtest.h>

namespace cif2str {
namespace {

TEST(FixedField, RoundsRightAlignedWithLeadingZero) {
  EXPECT_EQ(f10_5(3.905), "   3.90500");
  EXPECT_EQ(f10_5(90.0), "  90.00000");
  EXPECT_EQ(f8_5(0.01234), " 0.01234");
  EXPECT_EQ(f8_5(-0.008), "-0.00800");
  EXPECT_EQ(f8_5(0.009234), " 0.00923");
}

TEST(FixedField, RoundsTheExactBinaryValueTiesToEven) {
  EXPECT_EQ(f8_5(0.015625), " 0.01562");   // an exact binary tie
  EXPECT_EQ(f8_5(0.515625), " 0.51562");
  EXPECT_EQ(f8_5(0.046875), " 0.04688");   // tie, up to the even digit
  EXPECT_EQ(f8_5(0.000015), " 0.00002");   // just above the tie in binary
}

TEST(FixedField, NegativeValueRoundingToZeroKeepsItsSign) {
  EXPECT_EQ(f8_5(-0.000001), "-0.00000");
  EXPECT_EQ(f8_5(0.000001), " 0.00000");
}

TEST(FixedField, WidensForNumbersThatDoNotFit) {
  EXPECT_EQ(f8_5(100.0), "100.00000");
  EXPECT_EQ(f8_5(-123.4), "-123.40000");
  EXPECT_EQ(f10_5(12345.6), "12345.60000");
  EXPECT_EQ(f10_5(9999.99999), "9999.99999");
  EXPECT_EQ(fixed_field(1e300, 8, 5).size(), 301u + 6u);
}

TEST(FixedLine, ReceivePadsCutsNothingAndReportsTheFieldEnd) {
  FixedLine line;
  line.start("\tprm");
  EXPECT_EQ(line.receive(7, 12, "abc"), 12u);
  EXPECT_EQ(line.upto(12), "\tprm  abc   ");
  EXPECT_EQ(line.end_of_text(), 9u);
  // A longer text widens its field and overwrites what was there.
  EXPECT_EQ(line.receive(6, 8, "wxyz"), 9u);
  EXPECT_EQ(line.text(), "\tprm wxyz");
  EXPECT_EQ(line.receive(11, "q"), 11u);
  EXPECT_EQ(line.text(), "\tprm wxyz q");
}

TEST(FixedLine, StartBlanksEverythingAfterTheOpening) {
  FixedLine line;
  line.start("a long first line");
  line.start("\t");
  EXPECT_EQ(line.end_of_text(), 1u);
  EXPECT_EQ(line.upto(4), "\t   ");
  line.start("");
  EXPECT_EQ(line.end_of_text(), 0u);
  EXPECT_EQ(line.text(), "");
}

// The line keeps its room between lines: what a shorter line or upto drops
// must come back blank.
TEST(FixedLine, DroppedColumnsComeBackBlank) {
  FixedLine line;
  line.start("abcdefgh");
  EXPECT_EQ(line.upto(3), "abc");
  EXPECT_EQ(line.receive(6, "x"), 6u);
  EXPECT_EQ(line.text(), "abc  x");
  line.start("ab");
  EXPECT_EQ(line.upto(6), "ab    ");
  EXPECT_EQ(line.receive_fixed(3, 10, -1.5, 5), 10u);
  EXPECT_EQ(line.text(), "ab-1.50000");
  EXPECT_EQ(line.receive_fixed(3, 4, 12.0, 1), 6u);
  EXPECT_EQ(line.text(), "ab12.00000");
}

TEST(FixedLine, GrowsWithoutLimit) {
  FixedLine line;
  line.start("x");
  line.receive(150001, "end");
  EXPECT_EQ(line.end_of_text(), 150003u);
  EXPECT_EQ(line.text().substr(149998), "  end");
}

}  // namespace
}  // namespace cif2str
