// ctonum: the value and standard uncertainty of a numeric token. The digits
// are accumulated in the order they are written and powers of ten are built by
// repeated multiplication, because stored files and printed digits depend on
// exactly this arithmetic.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "core/diagnostics.hpp"
#include "core/state.hpp"
#include "reader/tokens.hpp"

namespace zatrel {

namespace {

// Note "." before "-", unlike the scanner's shape table; the blank counts too.
constexpr std::string_view kValueTable = "0123456789+.-()EDQedq ";

constexpr std::array<std::uint8_t, 256> value_positions() {
  std::array<std::uint8_t, 256> positions{};
  for (std::size_t k = 0; k < kValueTable.size(); ++k)
    positions[static_cast<unsigned char>(kValueTable[k])] = static_cast<std::uint8_t>(k + 1);
  return positions;
}
constexpr std::array<std::uint8_t, 256> kValuePosition = value_positions();

// Beyond this the product of tens is no longer finite.
constexpr int kLargestFinitePowerOfTen = std::numeric_limits<double>::max_exponent10;
// Exponent digits past this cannot change the clamped result; stops int overflow.
constexpr int kExponentSaturation = 1000000;

// 10^k as the product of k tens, multiplied up one step at a time; past the
// table the product is infinite.
constexpr std::array<double, kLargestFinitePowerOfTen + 1> repeated_products_of_ten() {
  std::array<double, kLargestFinitePowerOfTen + 1> products{};
  products[0] = 1.0;
  for (std::size_t k = 1; k < products.size(); ++k) products[k] = products[k - 1] * 10.0;
  return products;
}
constexpr std::array<double, kLargestFinitePowerOfTen + 1> kProductOfTens = repeated_products_of_ten();

double power_of_ten(int x) {
  const int times = x < 0 ? -x : x;
  const double p = times < static_cast<int>(kProductOfTens.size()) ? kProductOfTens[static_cast<std::size_t>(times)]
                                                                  : std::numeric_limits<double>::infinity();
  return x < 0 ? 1.0 / p : p;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool needs_digit_before(char c) {
  return c == '(' || c == ')' || c == ' ' || std::string_view("EDQedq").find(c) != std::string_view::npos;
}

enum class Phase { before_mantissa, integer_part, fraction, exponent, uncertainty };

class NumberScan {
 public:
  // The visible values are reached once, not for every character.
  NumberScan(std::string_view token, Visible& v) : token_(token), v_(v) {}

  // False as soon as the token proves not to be a number.
  bool take(int i) {
    const char c = token_[static_cast<std::size_t>(i) - 1];
    const int k = kValuePosition[static_cast<unsigned char>(c)];
    if (k == 0) return false;
    if (k <= 10) {
      take_digit(k - 1);
      return true;
    }
    if (c == '.') return take_point(i);
    return take_other(c, i);
  }

  void finish() {
    Visible& v = v_;
    ReaderState& r = state().reader;
    int e = exponent_ * exponent_sign_;
    // Only a value that would not be finite is clamped: its exponent is
    // lowered to the largest at which this arithmetic still gives a finite value.
    if (!finite_at(e)) {
      warn(" Exponent overflow in numeric input");
      e = largest_finite_exponent(e);
    }
    const int smallest = std::clamp(v.dminexp_, -kLargestFinitePowerOfTen, 0);
    if (e < smallest) {
      warn(" Exponent underflow in numeric input");
      e = smallest;
    }
    if (has_uncertainty_) r.numsd = uncertainty_digits_ * power_of_ten(e - decimals_);
    r.numval = power_of_ten(e) * mantissa_ * mantissa_sign_;
  }

 private:
  bool finite_at(int e) const {
    if (e > kLargestFinitePowerOfTen) return false;  // the power of ten alone is infinite
    return e <= 0 || std::isfinite(power_of_ten(e) * mantissa_);
  }
  int largest_finite_exponent(int e) const {
    e = std::min(e, kLargestFinitePowerOfTen);
    while (e > 0 && !finite_at(e)) --e;
    return e;
  }

  void take_digit(int value) {
    Visible& v = v_;
    if (phase_ == Phase::before_mantissa) phase_ = Phase::integer_part;
    switch (phase_) {
      case Phase::integer_part:
        mantissa_ = mantissa_ * 10 + value;
        ++mantissa_digits_;
        if (mantissa_ != 0) ++integer_digits_;
        break;
      case Phase::fraction:
        ++decimals_;
        fraction_scale_ *= 10.0;  // 10^decimals_, multiplied up one step at a time
        mantissa_ = mantissa_ + value / fraction_scale_;
        ++mantissa_digits_;
        break;
      case Phase::exponent:
        if (exponent_ < kExponentSaturation) exponent_ = exponent_ * 10 + value;
        ++exponent_digits_;
        break;
      case Phase::uncertainty:
        ++v.inesddig_;
        uncertainty_digits_ = uncertainty_digits_ * 10 + value;
        has_uncertainty_ = true;
        break;
      case Phase::before_mantissa:
        break;
    }
  }

  bool take_point(int i) {
    Visible& v = v_;
    v.indecpt_ = true;
    if (i > 1 && mantissa_ == 0 && token_[static_cast<std::size_t>(i) - 2] == '0') v.inleadzero_ = true;
    if (phase_ != Phase::before_mantissa && phase_ != Phase::integer_part) return false;
    v.decpos_ = i;
    phase_ = Phase::fraction;
    return true;
  }

  bool take_other(char c, int i) {
    Visible& v = v_;
    if (mantissa_digits_ == 0 && needs_digit_before(c)) return false;
    if (c == '(') {
      if (v.decpos_ == 0) v.decpos_ = i;
      phase_ = Phase::uncertainty;
      return true;
    }
    if (v.decpos_ == 0 && phase_ != Phase::before_mantissa) v.decpos_ = i;
    if (c == ')' || c == ' ') return true;
    if (phase_ == Phase::exponent && exponent_digits_ > 0) return false;
    if (c == '+' || c == '-') {
      const int sign = c == '+' ? 1 : -1;
      if (phase_ == Phase::before_mantissa) {
        if (mantissa_signs_++ > 0) return false;
        mantissa_sign_ = sign;
        phase_ = Phase::integer_part;
      } else {
        if (exponent_signs_++ > 0) return false;
        exponent_sign_ = sign;
        phase_ = Phase::exponent;
      }
      return true;
    }
    if (exponent_letters_++ > 0) return false;
    exponent_sign_ = 1;
    phase_ = Phase::exponent;
    return true;
  }

  std::string_view token_;
  Visible& v_;
  Phase phase_ = Phase::before_mantissa;
  double mantissa_ = 0.0;
  double fraction_scale_ = 1.0;
  double uncertainty_digits_ = 0.0;
  bool has_uncertainty_ = false;
  int exponent_ = 0;
  int mantissa_sign_ = 1;
  int exponent_sign_ = 1;
  int decimals_ = 0;
  int integer_digits_ = 0;  // significant ones: leading zeros do not count
  int mantissa_digits_ = 0;
  int exponent_digits_ = 0;
  int mantissa_signs_ = 0;
  int exponent_signs_ = 0;
  int exponent_letters_ = 0;
};

std::string_view token_text(const Visible& v) {
  const int n = v.vallen_ < 0 ? 0 : (v.vallen_ > MAXBUF ? MAXBUF : v.vallen_);
  return v.strval_.view().substr(0, static_cast<std::size_t>(n));
}

// Digits from position i on, accumulated by step; i is left past them.
template <typename Step>
int take_digits(std::string_view token, std::size_t& i, Step step) {
  int count = 0;
  for (; i < token.size() && is_digit(token[i]); ++i, ++count) step(token[i] - '0');
  return count;
}

// Most numbers of a CIF are written [sign]digits[.digits][(digits)]: these
// are converted in one straight pass with the same arithmetic as NumberScan,
// which takes everything else. False, with nothing changed, for any other form.
bool plain_number(std::string_view token, Visible& v, ReaderState& r) {
  std::size_t i = 0;
  int sign = 1;
  if (token[0] == '-' || token[0] == '+') {
    sign = token[0] == '-' ? -1 : 1;
    i = 1;
  }
  double mantissa = 0.0;
  int digits = take_digits(token, i, [&mantissa](int d) { mantissa = mantissa * 10 + d; });
  int decpos = 0;
  int decimals = 0;
  bool point = false;
  bool lead_zero = false;
  if (i < token.size() && token[i] == '.') {
    point = true;
    lead_zero = i > 0 && mantissa == 0 && token[i - 1] == '0';
    decpos = static_cast<int>(i) + 1;
    ++i;
    double scale = 1.0;
    decimals = take_digits(token, i, [&](int d) {
      scale *= 10.0;
      mantissa = mantissa + d / scale;
    });
    digits += decimals;
  }
  if (digits == 0) return false;
  double uncertainty = 0.0;
  int uncertainty_digits = 0;
  if (i < token.size() && token[i] == '(') {
    if (decpos == 0) decpos = static_cast<int>(i) + 1;
    ++i;
    uncertainty_digits = take_digits(token, i, [&uncertainty](int d) { uncertainty = uncertainty * 10 + d; });
    if (uncertainty_digits == 0 || i >= token.size() || token[i] != ')') return false;
    ++i;
  }
  if (i != token.size()) return false;
  v.indecpt_ = point;
  v.inleadzero_ = lead_zero;
  v.decpos_ = decpos != 0 ? decpos : static_cast<int>(token.size()) + 1;
  v.inesddig_ = uncertainty_digits;
  if (uncertainty_digits > 0) r.numsd = uncertainty * power_of_ten(-decimals);
  r.numval = power_of_ten(0) * mantissa * sign;
  v.itemtype_ = "numb";
  return true;
}

// The token of strval_ and vallen_ to convert; empty when it cannot be a
// number. Resets what ctonum reports.
std::string_view start_conversion(Visible& v, ReaderState& r) {
  r.numval = 0.0;
  r.numsd = -1.0;
  v.itemtype_ = "char";
  v.decpos_ = 0;
  v.inesddig_ = 0;
  const std::string_view token = token_text(v);
  // An empty value is no number either.
  if (token.empty() || (token.size() == 1 && !is_digit(token[0]))) return {};
  v.indecpt_ = false;
  v.inleadzero_ = false;
  return token;
}

void convert_by_scan(std::string_view token, Visible& v) {
  NumberScan scan(token, v);
  for (int i = 1; i <= static_cast<int>(token.size()); ++i)
    if (!scan.take(i)) return;
  if (v.decpos_ == 0) v.decpos_ = lastnb(token) + 1;
  scan.finish();
  v.itemtype_ = "numb";
}

}  // namespace

void ctonum() {
  State& s = state();
  const std::string_view token = start_conversion(s.vis, s.reader);
  if (token.empty() || plain_number(token, s.vis, s.reader)) return;
  convert_by_scan(token, s.vis);
}

void ctonum_by_scan() {
  State& s = state();
  const std::string_view token = start_conversion(s.vis, s.reader);
  if (!token.empty()) convert_by_scan(token, s.vis);
}

}  // namespace zatrel
