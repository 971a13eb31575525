// Re-spacing a finished line: its pieces spread over the free columns.
#include <algorithm>

#include "core/state.hpp"
#include "writer/line_composition.hpp"
#include "writer/output_line.hpp"

namespace zatrel {

namespace {

constexpr int kIndent = 8;
constexpr int kMinFreeToIndent = 16;

bool is_quote(char c) { return c == '\'' || c == '"'; }

// A short line of plain values is indented; names, comments, text-field
// delimiters, block headers and XML markup keep their column.
bool may_indent(const OutputLine& line, int P, bool pxml) {
  const char first = line.at(P + 1);
  if (first == '#' || first == ';' || first == '_' || first == ' ') return false;
  if (pxml && (first == '<' || first == ']')) return false;
  for (const char* word : {"data_", "save_", "loop_"})
    if (line.holds_at(P + 1, word)) return false;
  return true;
}

// Stop at or after r (columns counted from the prefix) for a line in `shares` parts.
int share_stop(int P, int r, int shares) {
  const int step = shares < 4 ? 8 : 6;
  return P + 1 + step * ((r - 1 + step - 1) / step);
}

}  // namespace

void respace_line(OutputLine line, const WriterState& w, int P, int W, int last_used, bool pxml) {
  int F = std::max(line.end_of_text(last_used), P + 1);
  int ifree = W - F;
  if (ifree <= 0) return;
  const int npieces = std::clamp(w.npieces, 0, kMaxPieceColumns);
  const int* const starts = w.piececols.data();
  const auto piece_column = [starts](int i) { return starts[i - 1]; };  // i from 1
  int im = npieces + 2;
  if (npieces >= 1 && line.at(piece_column(npieces)) == '#') im = npieces + 1;

  int ioffst = 0;
  if (ifree >= kMinFreeToIndent && im < 4 && may_indent(line, P, pxml)) {
    line.shift_right(P + 1, OutputLine::kLastColumn, kIndent);
    ioffst = kIndent;
    ifree -= kIndent;
    F += kIndent;
  }
  for (int i = 1; i <= npieces; ++i) {
    const int c = piece_column(i) + ioffst;
    if (c > F) break;
    int t = share_stop(P, std::max(c - P, ((W - P) * i) / im), im);
    if (is_quote(line.at(c)) && t > c) --t;  // the quote stands just before the stop
    t = std::min(t, c + ifree);
    if (t > c) {
      const int s = t - c;
      const int x = i < npieces ? piece_column(i + 1) + ioffst : 0;
      if (i < npieces && t + 1 < x && line.blank(x - s - 1, x - 1)) {
        // The blanks before the next piece absorb the move: it keeps its column.
        line.shift_right(c, x - 2, s);
      } else {
        line.shift_right(c, OutputLine::kLastColumn, s);
        ifree -= s;
        ioffst += s;
        F += s;
      }
    }
    if (ifree < 1) break;
  }
}

}  // namespace zatrel
