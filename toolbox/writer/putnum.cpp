// putnum: a number and its standard uncertainty as CIF numeric text.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "core/diagnostics.hpp"
#include "core/state.hpp"
#include "writer/d_format.hpp"
#include "writer/line_composition.hpp"
#include "writer/number_text.hpp"
#include "writer/powers_of_ten.hpp"

namespace zatrel {

namespace {

constexpr int kDefaultEsdlim = 19;
constexpr long long kSmallestEsdlim = 9;
constexpr long long kLargestEsdlim = 99999;
constexpr int kLargestPesddig = 5;
constexpr int kMostTrailingEsdZeros = 4;
// Below this a relative precision means more digits than a double carries.
constexpr double kFinestPrecision = 1e-17;
// Scales are searched no further than this (dminexp_ is about -310).
constexpr int kLowestScale = -400;
// Magnitudes down to 1e-6 are written in fixed form without an uncertainty.
constexpr int kFixedFormExponent = -7;
// An exponent form is used once this many zeros would follow the point.
constexpr int kMostLeadingZeros = 9;

// The significant digits for a relative precision: -log10(q) rounded to the
// nearest integer, with q between dprec_ and 0.1.
int significant_digits(double p, double dprec) {
  double q = std::max(p, dprec);
  q = std::min(q, 0.1);
  if (!(q > 0.0)) q = kFinestPrecision;
  const double nd = -(std::trunc(std::log10(q) + 1000.5) - 1000.0);
  return static_cast<int>(std::clamp(nd, 1.0, static_cast<double>(kMaxFormatDigits)));
}

// The digits of dfmt_, "(d30.NN)": NN.
int full_precision_digits(const Text<8>& dfmt) {
  const std::string_view f = dfmt.view();
  const auto point = f.find('.');
  int digits = 14;
  if (point != std::string_view::npos) std::from_chars(f.data() + point + 1, f.data() + f.size(), digits);
  return std::clamp(digits, 1, kMaxFormatDigits);
}

// The sign and the digits before the point; x counts down the digits taken.
void copy_integer_part(const DFormat& m, int& x, int& used, NumberText& out) {
  if (m.negative) out.push('-');
  while (x > 0 && used < m.count) {
    out.push(m.digits.data()[used++]);
    --x;
  }
}

void append_exponent(NumberText& out, long long x) {
  out.push('E');
  out.append_int(x);
}

void without_uncertainty(double v, double p, const Visible& vis, NumberText& out) {
  const int nd = significant_digits(p, vis.dprec_);
  const DFormat m = d_format(v, nd);
  int x = m.exponent;
  int used = 0;
  copy_integer_part(m, x, used, out);
  if (vis.pleadzero_ && (out.empty() || out.view() == "-")) out.push('0');
  int mark = out.size();
  out.push('.');
  // Zeros are kept as far as the caller's end column when it set one.
  const bool to_end_column = vis.pdecpos_ != 0 && vis.pendpos_ != 0;
  const long long room = static_cast<long long>(vis.pendpos_) - vis.pdecpos_;
  const int leading_zeros = -std::min(x, 0);
  for (int place = 1; used < m.count; ++used, ++place) {
    const char d = m.digits.data()[used];
    out.push(d);
    if (d != '0' || (to_end_column && place + leading_zeros <= room)) mark = out.size();
  }
  out.resize(mark);
  if (out.empty()) out.push('0');
  const int point = out.find('.');
  const bool has_fraction = point >= 0 && point + 1 < out.size();
  if (x > kFixedFormExponent && x < 0 && has_fraction && out.size() - (point + 1) - x <= nd) {
    out.insert(point + 1, '0', -x);
    x = 0;
  }
  if (out.find('.') < 0 && vis.pdecpt_) out.push('.');
  if (x != 0) append_exponent(out, x);
}

enum class ScaleOutcome { found, overflow, underflow };

struct EsdScale {
  ScaleOutcome outcome = ScaleOutcome::underflow;
  int k = 0;         // the uncertainty is esd * 10^-k
  long long esd = 0;
};

// The scale k at which u, rounded half up, lies between (L+5) div 10 and L.
// The search steps one way only: a turn means that the scale it needs has a
// power of ten beyond the doubles (u below about 1e-306), which ends it as
// an underflow instead of stepping between two scales for ever.
EsdScale find_esd_scale(double u, int nd, long long L, int lowest) {
  const long long least = (L + 5) / 10;
  int k = nd - static_cast<int>(std::floor(std::log10(u)));
  bool went_down = false;
  bool went_up = false;
  while (k >= lowest) {
    if (k > -lowest) return {ScaleOutcome::overflow, k, 0};
    const double s = std::trunc(scale_by_power_of_ten(u, k) + 0.5);
    if (s > static_cast<double>(L)) {
      if (went_up) break;
      --k;
      went_down = true;
    } else if (s >= static_cast<double>(least)) {
      return {ScaleOutcome::found, k, static_cast<long long>(s)};
    } else {
      if (went_down) break;
      ++k;
      went_up = true;
    }
  }
  return {ScaleOutcome::underflow, k, 0};
}

// esdlim_, checked when its magnitude changed: L and its digit count.
long long accepted_esdlim(Visible& vis, WriterState& w) {
  long long magnitude = std::llabs(static_cast<long long>(vis.esdlim_));
  if (magnitude != w.esdlim_seen) {
    if (magnitude < kSmallestEsdlim || magnitude > kLargestEsdlim) {
      warn(" Invalid value of esdlim_ reset to 19");
      vis.esdlim_ = kDefaultEsdlim;
      magnitude = kDefaultEsdlim;
    }
    int digits = 0;
    for (long long m = magnitude; m > 0; m /= 10) ++digits;
    w.esdlim_digits = digits;
    w.esdlim_seen = static_cast<int>(magnitude);
  }
  return magnitude;
}

// The esd integer rounded to pesddig_ digits, or the trailing zeros that
// may be dropped with it (negative esdlim_ only).
int apply_esd_digits(const Visible& vis, EsdScale& scale) {
  if (vis.esdlim_ >= 0) return 0;
  if (vis.pesddig_ >= 1) {
    long long limit = 1;
    for (int i = 0; i < vis.pesddig_; ++i) limit *= 10;
    while (scale.esd >= limit) {
      scale.esd = (scale.esd + 5) / 10;
      --scale.k;
    }
    return 0;
  }
  int zeros = 0;
  for (long long s = scale.esd; zeros < kMostTrailingEsdZeros && s > 0 && s % 10 == 0; s /= 10) ++zeros;
  return zeros;
}

// The digits of w before its point. With fewer integer digits than the
// full-precision format carries they are exact: the format would round the
// fraction of w, to which a half has already been added, a second time.
// From that many digits on they are as the format shows them.
void scaled_integer(double w, int fmt_digits, NumberText& out) {
  if (std::fabs(w) < power_of_ten(fmt_digits - 1)) {
    if (w < 0.0) out.push('-');
    out.append_int(static_cast<long long>(std::fabs(w)));
    return;
  }
  const DFormat m = d_format(w, fmt_digits);
  int x = m.exponent;
  int used = 0;
  copy_integer_part(m, x, used, out);
  if (x > 0) out.append_repeated('0', x);  // more integer digits than the format carries
}

// The point k digits from the right when that is a fixed form; k becomes 0.
void place_point(NumberText& out, int& k, bool pleadzero) {
  const int n = out.size();
  const int g = (out.view()[0] < '0' || out.view()[0] > '9') ? 1 : 0;
  if (k <= 0 || k >= n - g + kMostLeadingZeros) return;
  NumberText digits;
  digits.assign(out.part(g));
  out.resize(g);
  if (k < n) {
    out.append(digits.part(0, n - g - k));
    if (pleadzero && out.view() == "-") out.push('0');
    out.push('.');
    out.append(digits.part(n - g - k));
  } else {
    if (pleadzero) out.push('0');
    out.push('.');
    out.append_repeated('0', k - (n - g));
    out.append(digits.view());
  }
  k = 0;
}

void drop_esd_zeros(NumberText& out, long long& esd, int zeros, bool pdecpt) {
  const int point = out.find('.');
  if (zeros <= 0 || point < 0 || point + 1 >= out.size()) return;
  const int removable = std::min(zeros, out.size() - point - 1);
  for (int i = 0; i < removable && out.back() == '0'; ++i) {
    out.resize(out.size() - 1);
    esd /= 10;
  }
  if (!pdecpt && out.back() == '.') out.resize(out.size() - 1);
}

void with_uncertainty(double v, double u, double p, State& s, NumberText& out) {
  Visible& vis = s.vis;
  const long long L = accepted_esdlim(vis, s.writer);
  if (vis.esdlim_ < 0 && (vis.pesddig_ < 0 || vis.pesddig_ > kLargestPesddig)) {
    warn(" Invalid value of pesddig_ reset to 0");
    vis.pesddig_ = 0;
  }
  EsdScale scale = find_esd_scale(u, s.writer.esdlim_digits, L, std::clamp(vis.dminexp_, kLowestScale, 0));
  if (scale.outcome != ScaleOutcome::found) {
    warn(scale.outcome == ScaleOutcome::overflow ? " Overflow of esd" : " Underflow of esd");
    without_uncertainty(v, p, vis, out);
    return;
  }
  const int zeros = apply_esd_digits(vis, scale);
  double w = scale_by_power_of_ten(std::fabs(v), scale.k) + 0.5;
  if (w * p > 1.0) {
    warn(" ESD less than precision of machine");
    scale.esd = 0;
  }
  if (v < 0.0) w = -w;
  scaled_integer(w, full_precision_digits(vis.dfmt_), out);
  place_point(out, scale.k, vis.pleadzero_);
  drop_esd_zeros(out, scale.esd, zeros, vis.pdecpt_);
  if (out.find('.') < 0 && vis.pdecpt_) {
    if (vis.pleadzero_ && (out.empty() || out.view() == "-")) out.push('0');
    out.push('.');
  }
  if (scale.k != 0) append_exponent(out, -static_cast<long long>(scale.k));
  if (scale.esd != 0) {
    out.push('(');
    out.append_int(scale.esd);
    out.push(')');
  }
}

// The caller's decimal-point or value column, else after the previous piece.
void choose_number_column(const NumberText& text, const Visible& vis, WriterState& w) {
  const int point = text.find('.');
  const long long d = point >= 0 ? point + 1 : text.size() + 1;
  long long column = 0;
  if (vis.pdecpos_ != 0) {
    column = static_cast<long long>(w.prefixlen) + vis.pdecpos_ - d + 1;
  } else if (vis.pvalpos_ != 0) {
    column = static_cast<long long>(w.prefixlen) + vis.pvalpos_;
  } else {
    return;
  }
  w.nextcol = static_cast<int>(std::clamp<long long>(column, kNewLine, kPastLine));
}

}  // namespace

void putnum(double v, double u, double p) {
  State& s = state();
  NumberText text;
  if (std::isnan(p)) p = s.vis.dprec_;
  if (!(p >= kFinestPrecision)) p = kFinestPrecision;  // also when dprec_ is not a number
  if (!std::isfinite(v)) {
    warn(" Number that is not finite written as ?");
    text.push('?');
  } else {
    if (!std::isfinite(u)) {
      warn(" Uncertainty that is not finite left out");
      u = 0.0;
    }
    if (v == 0.0) v = 0.0;  // no sign on a zero
    if (u <= p * std::fabs(v))
      without_uncertainty(v, p, s.vis, text);
    else
      with_uncertainty(v, u, p, s, text);
  }
  if (text.empty()) text.push('0');
  choose_number_column(text, s.vis, s.writer);
  putstr(text.view());
}

}  // namespace zatrel
