// init_: unit numbers, counters, and the precision of this machine's arithmetic.
#include <cstdio>

#include "core/state.hpp"
#include "core/text.hpp"

namespace zatrel {

namespace {

// volatile keeps each quotient rounded to its own precision, as the
// measurement intends, instead of held in a wider register.
float single_precision() {
  float x = 0.1F;
  for (int i = 0; i < 8; ++i) {
    volatile float sum = 1.0F + x / 10.0F;
    if (sum == 1.0F) break;
    x /= 10.0F;
  }
  return 10.0F * x;
}

void double_precision(double& precision, int& digits) {
  double x = 0.1;
  digits = 1;
  for (int i = 0; i < 17; ++i) {
    volatile double sum = 1.0 + x / 10.0;
    if (sum == 1.0) break;
    x /= 10.0;
    ++digits;
  }
  precision = 10.0 * x;
}

float smallest_single() {
  float x = 0.1F;
  for (int i = 0; i < 39; ++i) {
    volatile float next = x / 10.0F;
    if (next == 0.0F) break;
    x = next;
  }
  return x;
}

void smallest_double(double& smallest, int& exponent) {
  double x = 0.1;
  exponent = -1;
  for (int i = 0; i < 309; ++i) {
    volatile double next = x / 10.0;
    if (next == 0.0) break;
    x = next;
    --exponent;
  }
  smallest = x;
}

}  // namespace

bool init_(int input_unit, int output_unit, int scratch_unit, int message_unit) {
  State& s = state();
  s.core.input_unit = input_unit;
  s.core.output_unit = output_unit;
  s.core.scratch_unit = scratch_unit;
  s.core.message_unit = message_unit;
  s.vis.inlineno_ = 0;
  s.vis.outlineno_ = 0;
  s.writer.xblock.clear();
  s.writer.xcat.clear();
  s.writer.xcattr.clear();
  s.writer.xitem.clear();
  s.writer.xitemtr.clear();
  s.writer.loopcols = 0;

  s.vis.rprec_ = single_precision();
  int digits = 0;
  double_precision(s.vis.dprec_, digits);
  char format[16];
  std::snprintf(format, sizeof format, "(d30.%02d)", (digits - 1) % 100);
  s.vis.dfmt_ = format;
  s.vis.rmin_ = smallest_single();
  smallest_double(s.vis.dmin_, s.vis.dminexp_);
  clearfp();
  return true;
}

}  // namespace zatrel
