// putnum over random values and uncertainties: the text reads back, with the
// toolbox's own number conversion, as the value to within the last written
// digit and the uncertainty as the esd integer at that scale.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "reader/tokens.hpp"
#include "writer/writer_fixture.hpp"

namespace zatrel {
namespace {

class NumberProperty : public testing::WriterTest {
 protected:
  // The text putnum placed (alone on a new line).
  std::string written(double v, double u) {
    writer().nextcol = kNewLine;
    putnum(v, u, dprec_);
    return std::string(writer().outbuf.trimmed());
  }
};

// What the text says of itself: the place of its last digit and its esd.
struct Reading {
  double unit = 1;       // 10^(exponent - digits after the point)
  long long esd = -1;    // -1 when none
  int significant = 0;   // digits from the first non-zero one
  double value = 0;      // strtod of the text without its esd
  int exponent = 0;      // after E; 0 when none
};

Reading read_text(const std::string& text) {
  Reading r;
  const auto paren = text.find('(');
  const std::string number = text.substr(0, paren);
  if (paren != std::string::npos) r.esd = std::atoll(text.c_str() + paren + 1);
  const auto e = number.find('E');
  const std::string mantissa = number.substr(0, e);
  const int exponent = e == std::string::npos ? 0 : std::atoi(number.c_str() + e + 1);
  r.exponent = exponent;
  const auto point = mantissa.find('.');
  const int decimals = point == std::string::npos ? 0 : static_cast<int>(mantissa.size() - point - 1);
  r.unit = std::pow(10.0, exponent - decimals);
  bool started = false;
  for (char c : mantissa)
    if (c >= '1' && c <= '9') started = true, ++r.significant;
    else if (c == '0' && started) ++r.significant;
  r.value = std::strtod(number.c_str(), nullptr);
  return r;
}

TEST_F(NumberProperty, TextReadsBackAsValueAndUncertainty) {
  std::mt19937_64 rng(141209);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> magnitude(-300, 300), relative(-3, 16), coin(0, 1), mode(0, 8), digits(0, 5);
  const int limits[] = {19, 99, 999, 9999, 99999, 9, -19, -99, -9999};
  palign_ = false;
  for (int i = 0; i < 200000; ++i) {
    const double v = (coin(rng) ? -1 : 1) * mantissa(rng) * std::pow(10.0, magnitude(rng) * (i % 4 == 0 ? 1 : 0.1));
    const double u = std::fabs(v) * mantissa(rng) * std::pow(10.0, -relative(rng));
    esdlim_ = limits[mode(rng)];
    pesddig_ = esdlim_ < 0 ? digits(rng) : 0;
    pleadzero_ = coin(rng) != 0;
    pdecpt_ = coin(rng) != 0;
    const std::string text = written(v, u);
    SCOPED_TRACE(::testing::Message() << text << " from " << v << " +- " << u << " esdlim " << esdlim_ << " pesddig "
                                    << pesddig_);

    strval_ = text;
    vallen_ = static_cast<int>(text.size());
    ctonum();
    ASSERT_EQ(itemtype_, "numb");
    const double read = state().reader.numval;
    const double sd = state().reader.numsd;
    const Reading r = read_text(text);

    // Half a unit of the last digit; from 14 digits on the full-precision
    // rendering rounds a second time, at the 14th digit (digits beyond it,
    // for an esd finer than the machine's precision, are zeros).
    const double units = r.significant >= 14 ? 0.5 + 0.5 * std::pow(10.0, r.significant - 14) : 0.5;
    const double allowed = units * r.unit * (1 + 1e-9);
    ASSERT_LE(std::fabs(r.value - v), allowed + std::fabs(v) * 4e-16);
    // The reader builds powers of ten by products: a few ulps per decade.
    // (It reads an exponent below -308 as a zero power of ten, so those
    // texts are checked by strtod alone.)
    const bool reader_reaches = std::abs(r.exponent) <= 308;
    if (reader_reaches) {
      ASSERT_LE(std::fabs(read - v), allowed + std::fabs(v) * 1e-16 * (20 + std::fabs(std::log10(std::fabs(v)))));
    }

    if (r.esd < 0) {
      ASSERT_EQ(sd, -1.0);
      continue;
    }
    if (reader_reaches) {
      ASSERT_NEAR(sd, r.esd * r.unit, r.esd * r.unit * 1e-9);
    }
    // The esd integer is u rounded at the scale (twice when pesddig_ cut a digit).
    const double rounding = (pesddig_ > 0 ? 0.56 : 0.5) * r.unit * (1 + 1e-9);
    ASSERT_LE(std::fabs(r.esd * r.unit - u), rounding);
    const long long L = std::llabs(esdlim_);
    if (pesddig_ == 0) {
      ASSERT_LE(r.esd, L);
    }
  }
}

}  // namespace
}  // namespace zatrel
