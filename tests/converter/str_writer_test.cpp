// Line layouts the whole conversions do not reach: terms and labels at
// their extremes.
#include "str_writer.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace cif2str {
namespace {

class StrWriterTest : public ::testing::Test {
 protected:
  // What the writer wrote since the last call.
  std::string written() {
    std::string text = out_.str();
    out_.str("");
    return text;
  }
  static ModeSet modes(char letter) { return ModeSet{letter, 10000, {}, SparseMatrix(10000)}; }

  std::ostringstream out_;
  StrWriter writer_{out_};
};

TEST_F(StrWriterTest, TransformationTerms) {
  SparseMatrix m(3);
  m.set(1, 1, 12.5);
  m.set(1, 3, -0.25);
  writer_.transformation({"O1_dz", 0.009234}, m.row(1), modes('a'), 3);
  EXPECT_EQ(written(), "\tprm  O1_dz  = + 12.50000*a1 -  0.25000*a3;:  0.00923\r\n");
}

TEST_F(StrWriterTest, TransformationWithoutTermsEndsAtTheEqualsSign) {
  writer_.transformation({"Ti1_dz", -0.5}, {}, modes('a'), 3);
  EXPECT_EQ(written(), "\tprm  Ti1_dz =;: -0.50000\r\n");
}

TEST_F(StrWriterTest, TransformationLabelLongerThanItsColumnsIsWrittenWhole) {
  SparseMatrix m(10000);
  m.set(1, 10000, 1.0);
  m.set(1, 2, 100.0);
  writer_.transformation({"Ti1_docc", 0.0}, m.row(1), modes('b'), 3);
  EXPECT_EQ(written(),
            "\tprm  Ti1_docc = + 100.00000*b2 +  1.00000*b10000;:  0.00000\r\n");
}

TEST_F(StrWriterTest, CoordinateMarkedWhenItsFormulaHasNoLowerCaseD) {
  writer_.coordinate("Ti1_x", "1/2", 0.5, 3);
  writer_.coordinate("Ti1_z", "1/2+Ti1_dz", 0.5, 3);
  writer_.coordinate("O1_z", "1/2+O1_DZ", 0.0, 3);
  EXPECT_EQ(written(),
            "\tprm !Ti1_x   = 1/2;:  0.50000\r\n"
            "\tprm  Ti1_z   = 1/2+Ti1_dz;:  0.50000\r\n"
            "\tprm !O1_z    = 1/2+O1_DZ;:  0.00000\r\n");
}

TEST_F(StrWriterTest, FormulaLabelTooLongForItsColumnsIsFollowedByItsEqualsSign) {
  writer_.coordinate("Ti1_long_x", "1/2", 0.5, 3);
  writer_.occupancy("Ti1_longer_occ", "1+Ti1_do", 1.0, 3);
  EXPECT_EQ(written(),
            "\tprm !Ti1_long_x = 1/2;:  0.50000\r\n"
            "\tprm  Ti1_longer_occ = 1+Ti1_do;:  1.00000\r\n");
}

}  // namespace
}  // namespace cif2str
