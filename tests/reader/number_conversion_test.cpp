// ctonum: values, uncertainties, decimal-point reports, clamping, and
// agreement with strtod over many random well-formed numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "core/state.hpp"
#include "reader/tokens.hpp"
#include "support/fresh_toolbox.hpp"

namespace zatrel {
namespace {

class NumberConversion : public testing::FreshToolbox {
 protected:
  // The value, or NAN when the token is no number.
  double convert(std::string_view token) {
    strval_ = token;
    vallen_ = static_cast<int>(token.size());
    ctonum();
    return itemtype_ == "numb" ? state().reader.numval : NAN;
  }
  double sd() const { return state().reader.numsd; }
};

TEST_F(NumberConversion, ValuesAndWhatIsReportedWithThem) {
  struct Case {
    const char* token;
    double value, sd;
    int decpos, digits;
    bool point, leadzero;
  };
  for (const Case& c : {Case{"1.5(3)", 1.5, 0.3, 2, 1, true, false}, Case{"1.234(12)", 1.234, 0.012, 2, 2, true, false},
                        Case{"1.23e2(4)", 123, 4, 2, 1, true, false}, Case{"-12(3)", -12, 3, 4, 1, false, false},
                        Case{"-0.25", -0.25, -1, 3, 0, true, true}, Case{"00.5", 0.5, -1, 3, 0, true, true},
                        Case{"10.5", 10.5, -1, 3, 0, true, false}, Case{".5", 0.5, -1, 1, 0, true, false},
                        Case{"12", 12, -1, 3, 0, false, false}, Case{"-5", -5, -1, 3, 0, false, false},
                        Case{"1.5()", 1.5, -1, 2, 0, true, false}, Case{"2E", 2, -1, 2, 0, false, false}}) {
    EXPECT_DOUBLE_EQ(convert(c.token), c.value) << c.token;
    EXPECT_DOUBLE_EQ(sd(), c.sd) << c.token;
    EXPECT_EQ(decpos_, c.decpos) << c.token;
    EXPECT_EQ(inesddig_, c.digits) << c.token;
    EXPECT_EQ(indecpt_, c.point) << c.token;
    EXPECT_EQ(inleadzero_, c.leadzero) << c.token;
  }
}

TEST_F(NumberConversion, ExponentFormsAgree) {
  for (const char* form : {"1.5E-3", "1.5e-3", "1.5-3", "15D-4", "1.5q-3", "0.15E-2"})
    EXPECT_DOUBLE_EQ(convert(form), 0.0015) << form;
  EXPECT_DOUBLE_EQ(convert("1.5D+03"), 1500.0);
  EXPECT_DOUBLE_EQ(convert("1.5+3"), 1500.0);
  EXPECT_DOUBLE_EQ(convert("1-2"), 0.01);
  EXPECT_EQ(convert("++1"), 0.0);  // a mantissa sign, then an exponent sign
}

TEST_F(NumberConversion, NoNumberLeavesZeroAndNoUncertainty) {
  for (const char* token : {"1E3-2", "1.2.3", "(1)", "e5", "1abc", "+++1", "+-+1", "1e2e3", ".", "?", "-", "1.5(3.0)",
                            "1e3.5", ""}) {
    EXPECT_TRUE(std::isnan(convert(token))) << token;
    EXPECT_EQ(state().reader.numval, 0.0) << token;
    EXPECT_EQ(sd(), -1.0) << token;
  }
  convert("0.5(12)x");  // what was seen up to the fault stays reported
  EXPECT_TRUE(inleadzero_);
  EXPECT_EQ(inesddig_, 2);
}

// The digits are those of this arithmetic, not of the nearest double: later
// output and stored files rely on them.
TEST_F(NumberConversion, ValueFollowsDigitByDigitAccumulation) {
  EXPECT_EQ(convert("3.14159"), 3.1415900000000003);
  EXPECT_EQ(convert("9.87654321"), 9.876543210000003);
}

TEST_F(NumberConversion, ExponentsBeyondRangeAreClampedWithAWarning) {
  EXPECT_GT(convert("1e400"), 1e306);
  EXPECT_LT(convert("-9e99999999999"), -1e306);
  EXPECT_TRUE(std::isfinite(convert("123.45e307")));
  const double tiny = convert("1e-400");
  EXPECT_TRUE(tiny > 0 && tiny < 1e-300);
  const std::string log = messages();
  EXPECT_NE(log.find("#  Exponent overflow in numeric input\n"), std::string::npos);
  EXPECT_NE(log.find("#  Exponent underflow in numeric input\n"), std::string::npos);
}

TEST_F(NumberConversion, WidestTokensStayFinite) {
  EXPECT_TRUE(std::isfinite(convert(std::string(200, '9'))));
  EXPECT_TRUE(std::isfinite(convert("1(" + std::string(197, '9') + ")")));
  EXPECT_TRUE(std::isfinite(sd()));
  strval_ = std::string(200, '1');
  vallen_ = 250;  // longer than the text: only what it holds is read
  ctonum();
  EXPECT_EQ(decpos_, 201);
}

class RandomDigits {
 public:
  explicit RandomDigits(unsigned seed) : random_(seed) {}
  int pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
  std::string digits(int count) {
    std::string s;
    while (count-- > 0) s += static_cast<char>('0' + pick(10));
    return s;
  }

 private:
  std::mt19937_64 random_;
};

// The prescribed arithmetic written out plainly: digits accumulated as
// written, each fraction digit divided by its power of ten, powers of ten
// built by repeated multiplication.
double power_by_multiplication(int x) {
  double p = 1.0;
  for (int i = 0; i < std::abs(x); ++i) p *= 10.0;
  return x < 0 ? 1.0 / p : p;
}

double prescribed_value(const std::string& whole, const std::string& fraction, int sign, int exponent) {
  double m = 0.0;
  for (const char c : whole) m = m * 10 + (c - '0');
  double scale = 1.0;
  for (const char c : fraction) {
    scale *= 10.0;
    m = m + (c - '0') / scale;
  }
  return power_by_multiplication(exponent) * m * sign;
}

// Bit for bit, with long fractions, small exponents or none.
TEST_F(NumberConversion, MatchesThePrescribedArithmeticBitForBit) {
  RandomDigits random(11);
  auto pick = [&](int n) { return random.pick(n); };
  auto digits = [&](int count) { return random.digits(count); };
  for (int trial = 0; trial < 20000; ++trial) {
    const int sign = pick(2) == 0 ? 1 : -1;
    const std::string whole = digits(pick(10));
    const std::string fraction = digits(1 + pick(30));
    const bool written_exponent = pick(2) == 0;
    const int exponent = written_exponent ? pick(61) - 30 : 0;
    const int uncertainty = 1 + pick(999);
    const std::string cif = (sign < 0 ? "-" : "") + whole + "." + fraction +
                            (written_exponent ? "e" + std::to_string(exponent) : "") + "(" +
                            std::to_string(uncertainty) + ")";
    EXPECT_EQ(convert(cif), prescribed_value(whole, fraction, sign, exponent)) << cif;
    EXPECT_EQ(sd(), uncertainty * power_by_multiplication(exponent - static_cast<int>(fraction.size()))) << cif;
  }
}

// The shortcut for plain numbers against the general scan, on random tokens
// from the characters numbers are made of: every report must be the same.
TEST_F(NumberConversion, ShortcutAgreesWithTheGeneralScan) {
  constexpr std::string_view kAlphabet = "0123456789000111.-+().()eE";
  std::mt19937_64 random(5);
  struct Reports {
    std::string type;
    double value, sd;
    int decpos, digits;
    bool point, leadzero;
    bool operator==(const Reports&) const = default;
  };
  auto reports = [&](std::string_view token, void (*convert)()) {
    strval_ = token;
    vallen_ = static_cast<int>(token.size());
    convert();
    return Reports{std::string(itemtype_.view()), state().reader.numval, state().reader.numsd, decpos_, inesddig_,
                   indecpt_, inleadzero_};
  };
  int numbers = 0;
  for (int trial = 0; trial < 200000; ++trial) {
    std::string token(1 + random() % 14, ' ');
    for (char& c : token) c = kAlphabet[random() % kAlphabet.size()];
    const Reports quick = reports(token, ctonum);
    const Reports scanned = reports(token, ctonum_by_scan);
    // Bit for bit: NaN never arises, and -0.0 must stay -0.0.
    EXPECT_TRUE(quick == scanned && std::signbit(quick.value) == std::signbit(scanned.value)) << token;
    numbers += quick.type == "numb";
  }
  EXPECT_GT(numbers, 20000);  // the shapes the shortcut takes were met often
}

// Every exponent in range, and uncertainties scaled far below it.
TEST_F(NumberConversion, EveryPowerOfTenIsTheRepeatedProduct) {
  for (int e = std::max(dminexp_, -308); e <= 308; ++e) {
    const std::string cif = "1.5e" + std::to_string(e) + "(7)";
    EXPECT_EQ(convert(cif), power_by_multiplication(e) * 1.5) << cif;
    EXPECT_EQ(sd(), 7 * power_by_multiplication(e - 1)) << cif;
  }
  EXPECT_EQ(convert("0." + std::string(150, '0') + "1e" + std::to_string(std::max(dminexp_, -308)) + "(3)"),
            power_by_multiplication(std::max(dminexp_, -308)) * prescribed_value("0", std::string(150, '0') + "1", 1, 0));
  EXPECT_EQ(sd(), 3 * power_by_multiplication(std::max(dminexp_, -308) - 151));
}

// Random well-formed numbers in the forms CIFs use: sign, integer and fraction
// digits, an exponent with any letter or none, an uncertainty in parentheses.
TEST_F(NumberConversion, AgreesWithStrtodOnRandomWellFormedNumbers) {
  RandomDigits random(7);
  auto pick = [&](int n) { return random.pick(n); };
  auto digits = [&](int count) { return random.digits(count); };
  for (int trial = 0; trial < 20000; ++trial) {
    const char* const signs[] = {"", "-", "+"};
    std::string cif = signs[pick(3)];
    const std::string whole = digits(pick(8));
    const bool point = whole.empty() || pick(2) == 0;
    const std::string fraction = point ? digits((whole.empty() ? 1 : 0) + pick(10)) : "";
    cif += whole + (point ? "." : "") + fraction;
    std::string c_form = cif;
    int exponent = 0;
    if (pick(2) == 0) {
      exponent = pick(500) - 250;
      // With a letter the sign of a positive exponent is optional; without one it marks the exponent.
      const bool letter = pick(2) == 0;
      std::string written = letter ? std::string(1, "EDQedq"[pick(6)]) : "";
      if (exponent < 0 || !letter || pick(2) == 0) written += exponent < 0 ? "-" : "+";
      cif += written + std::to_string(std::abs(exponent));
      c_form += "e" + std::to_string(exponent);
    }
    const int uncertainty = pick(2) == 0 ? 1 + pick(99) : 0;
    if (uncertainty > 0) cif += "(" + std::to_string(uncertainty) + ")";

    const double expected = std::strtod(c_form.c_str(), nullptr);
    const double value = convert(cif);
    ASSERT_EQ(itemtype_, "numb") << cif;
    if (expected == 0.0) {
      EXPECT_EQ(value, 0.0) << cif;
    } else {
      EXPECT_NEAR(value / expected, 1.0, 1e-12) << cif;
    }
    const double scaled = uncertainty * std::pow(10.0, exponent - static_cast<int>(fraction.size()));
    if (uncertainty > 0) {
      EXPECT_NEAR(sd() / scaled, 1.0, 1e-12) << cif;
    } else {
      EXPECT_EQ(sd(), -1.0) << cif;
    }
  }
  EXPECT_EQ(messages(), "");
}

// Only a value that would not be finite is clamped, with a warning: its
// exponent comes down to the largest at which the arithmetic gives a finite
// value. Numbers that fit, up to the largest double, come back unchanged.
TEST_F(NumberConversion, OverflowOnlyWhereTheValueWouldNotBeFinite) {
  struct Case {
    const char* token;
    const char* whole;
    const char* fraction;
    int sign, exponent;
    bool warned;
  };
  for (const Case& c : {Case{"1e308", "1", "", 1, 308, false}, Case{"1.7e308", "1", "7", 1, 308, false},
                        Case{"-1.7D+308", "1", "7", -1, 308, false}, Case{"0.001e308", "0", "001", 1, 308, false},
                        Case{"1.8e308", "1", "8", 1, 307, true}, Case{"1e400", "1", "", 1, 308, true},
                        Case{"-9e99999999999", "9", "", -1, 307, true}, Case{"1234e306", "1234", "", 1, 305, true},
                        Case{"0.001e310", "0", "001", 1, 308, true}, Case{"0e400", "0", "", 1, 308, true}}) {
    const std::size_t before = messages().size();
    EXPECT_EQ(convert(c.token), prescribed_value(c.whole, c.fraction, c.sign, c.exponent)) << c.token;
    const std::string told = messages().substr(before);
    EXPECT_EQ(told.find("#  Exponent overflow in numeric input\n") != std::string::npos, c.warned) << c.token;
  }
  // 1e400 gives what 1e308 gives, to the last bit; so does its uncertainty's scale.
  EXPECT_EQ(convert("1e400(5)"), 9.9999999999999981e307);
  EXPECT_EQ(sd(), 5 * power_by_multiplication(308));
}

}  // namespace
}  // namespace zatrel
