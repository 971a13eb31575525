// putnum at the edges: powers of ten, numbers that are not finite, extreme
// magnitudes, scales beyond the range of doubles, and invalid settings.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "writer/powers_of_ten.hpp"
#include "writer/writer_fixture.hpp"

namespace zatrel {
namespace {

class NumberLimits : public testing::WriterTest {
 protected:
  // The text putnum places, and the messages it gave (texts only).
  std::string text_of(double v, double u) {
    said_before_ = messages().size();
    writer().nextcol = kNewLine;
    putnum(v, u, dprec_);
    return std::string(writer().outbuf.trimmed());
  }
  std::string said() {
    std::string texts;
    const std::string all = messages().substr(said_before_);
    for (std::size_t start = 0, nl; (nl = all.find('\n', start)) != std::string::npos; start = nl + 1)
      if (all.compare(start, 10, "#  zatrel ") != 0) texts += all.substr(start + 2, nl - start - 2);
    return texts;
  }
  std::size_t said_before_ = 0;
};

// The nearest double to each power of ten (strtod rounds correctly); those up
// to 10^22 are exact, so products of tens reach them too.
TEST_F(NumberLimits, PowersOfTenAreTheNearestDoubles) {
  double product = 1.0;
  for (int j = 0; j <= kLargestPowerOfTen; ++j) {
    const std::string literal = "1e" + std::to_string(j);
    EXPECT_EQ(power_of_ten(j), std::strtod(literal.c_str(), nullptr)) << j;
    if (j <= 22) {
      EXPECT_EQ(power_of_ten(j), product) << j;
    }
    product *= 10.0;
  }
  EXPECT_EQ(scale_by_power_of_ten(3.0, -2), 0.03);
  EXPECT_EQ(scale_by_power_of_ten(0.0023, 3), 0.0023 * 1000.0);
  EXPECT_EQ(scale_by_power_of_ten(1e-300, 308), 1e-300 * 1e308);
  EXPECT_EQ(scale_by_power_of_ten(1e-300, 309), std::numeric_limits<double>::infinity());
  EXPECT_EQ(scale_by_power_of_ten(1e300, -309), 0.0);
}

TEST_F(NumberLimits, NumbersThatAreNotFinite) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(text_of(nan, 0.1), "?");
  EXPECT_EQ(said(), " Number that is not finite written as ?");
  EXPECT_EQ(text_of(-inf, 0.0), "?");
  EXPECT_EQ(text_of(2.5, nan), "2.5");
  EXPECT_EQ(said(), " Uncertainty that is not finite left out");
  EXPECT_EQ(text_of(2.5, inf), "2.5");
  EXPECT_EQ(text_of(-0.0, 0.0), "0");  // no sign on a zero
}

TEST_F(NumberLimits, ExtremeMagnitudes) {
  struct Case {
    double v, u;
    const char* text;
    const char* warning;
  };
  const Case cases[] = {
      {DBL_MAX, 0.0, "17976931348623E295", ""},
      {-DBL_MAX, DBL_MAX / 1e3, "-17977E304(18)", ""},
      {1e300, 1e299, "100E298(10)", ""},
      {1e-300, 1e-302, "1000E-303(10)", ""},
      {5e-324, 0.0, ".49406564584125E-323", ""},
      {1e-300, 1e-307, "100000000E-308(10)", ""},
      {1e-309, 1e-308, ".1E-308", " Underflow of esd"},
      {1e-320, 1e-319, ".99998886718268E-320", " Overflow of esd"},
      {0.0, 1e-320, "0", " Overflow of esd"},
      {1.0, DBL_MIN, "1", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text_of(c.v, c.u), c.text) << c.v << " " << c.u;
    EXPECT_EQ(said(), c.warning) << c.v << " " << c.u;
  }
}

// Scales outside dminexp_ and its opposite: no uncertainty, the value at full precision.
TEST_F(NumberLimits, ScaleBeyondTheExponentRange) {
  dminexp_ = -20;
  EXPECT_EQ(text_of(1e30, 1e29), "10000000000000E17");
  EXPECT_EQ(said(), " Underflow of esd");
  dminexp_ = -5;
  EXPECT_EQ(text_of(1.0, 1e-5), "1");
  EXPECT_EQ(said(), " Overflow of esd");
}

TEST_F(NumberLimits, InvalidSettingsAreReset) {
  esdlim_ = 5;
  EXPECT_EQ(text_of(1.23456, 0.0019), "1.2346(19)");
  EXPECT_EQ(said(), " Invalid value of esdlim_ reset to 19");
  EXPECT_EQ(esdlim_, 19);
  esdlim_ = -19;
  EXPECT_EQ(text_of(1.23456, 0.0019), "1.2346(19)");
  EXPECT_EQ(said(), "");
  esdlim_ = INT_MIN;
  EXPECT_EQ(text_of(1.23456, 0.0023), "1.235(2)");
  EXPECT_EQ(said(), " Invalid value of esdlim_ reset to 19");
  esdlim_ = -99;
  pesddig_ = 7;
  EXPECT_EQ(text_of(1.5, 0.01), "1.50(1)");
  EXPECT_EQ(said(), " Invalid value of pesddig_ reset to 0");
  EXPECT_EQ(pesddig_, 0);
  // Every digit beyond pesddig_ is rounded off, however many there are.
  esdlim_ = -9999;
  pesddig_ = 1;
  EXPECT_EQ(text_of(1.23456, 0.0123), "1.23(1)");
  pesddig_ = 2;
  EXPECT_EQ(text_of(1.23456, 0.0996), "1.23(10)");
}

}  // namespace
}  // namespace zatrel
