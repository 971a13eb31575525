// The columns of loop values laid out row by row in 8-column bins.
#include "writer/line_composition.hpp"

namespace zatrel {

namespace {
constexpr int kBin = 8;
// Each further pass of a row too wide for one line is indented this much more.
constexpr int kPassIndent = 2;
}  // namespace

// A row of few columns spreads over the line in equal multiples of a bin
// (indented by a bin when there is room for two per column and a spare one);
// a row of up to kbin columns sits on the bin stops; further columns go on
// further lines, on kbin - 1 stops indented by 2 columns per pass. With fewer
// than two bins after the prefix there is no room for columns: every value
// starts its own line after the prefix.
int loop_bin_column(int prefix_columns, int width, int names, int place) {
  const int P = prefix_columns;
  const int kbin = (width - P) / kBin;
  if (kbin < 2) return P + 1;
  if (names < kbin) {
    const int share = kbin / (names + 1);
    if (share >= 2) return P + 1 + kBin + share * kBin * (place - 1);
    return P + 1 + (kbin / names) * kBin * (place - 1);
  }
  if (place > kbin) {
    const int beyond = place - kbin - 1;
    const int kpass = beyond / (kbin - 1) + 1;
    return P + 1 + kPassIndent * kpass + kBin * (beyond % (kbin - 1));
  }
  return P + 1 + kBin * (place - 1);
}

}  // namespace zatrel
