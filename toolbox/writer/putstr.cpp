// putstr: places one piece on the output line and writes finished lines.
#include <algorithm>
#include <array>
#include <cerrno>
#include <string>
#include <string_view>

#include "core/diagnostics.hpp"
#include "core/state.hpp"
#include "core/text.hpp"
#include "writer/line_composition.hpp"
#include "writer/output_line.hpp"

namespace zatrel {

namespace {

// A tab can widen a character to 8 columns.
constexpr int kMaxExpanded = 8 * MAXBUF;
constexpr int kTabStop = 8;

// The piece as placed: trailing blanks (and tabs, when they are expanded) do
// not count, nor anything past MAXBUF characters.
std::string_view significant_piece(std::string_view text, bool strip_tabs) {
  text = trailing_blanks_removed(text.substr(0, std::min<std::size_t>(text.size(), MAXBUF)));
  std::size_t n = text.size();
  while (strip_tabs && n > 0 && (text[n - 1] == '\t' || text[n - 1] == ' ')) --n;
  return text.substr(0, n);
}

class PiecePlacer {
 public:
  PiecePlacer(State& s, std::string_view text)
      : v_(s.vis), w_(s.writer), core_(s.core), line_(s.writer.outbuf),
        piece_(significant_piece(text, s.vis.ptabs_)) {
    W_ = mxline(v_.line_);
    P_ = prefix_columns(w_);
    C_ = std::min(w_.nextcol, kPastLine);
    F_ = w_.linepos;
    NL_ = w_.loopcols;
    n_ = static_cast<int>(piece_.size());
    lone_tab_ = !v_.ptabs_ && n_ == 1 && piece_[0] == '\t';
  }

  void place() {
    pflush_ = C_ < 0;
    if (n_ > 0 && !lone_tab_) {
      if (piece_ == kFullLinePiece) {
        w_.linepos = kLineFull;
        return;
      }
      if (is_loop_value()) choose_loop_column();
    }
    if (lone_tab_ && F_ > P_ && line_.at(F_) == ' ') --F_;
    if (C_ <= F_ && F_ > P_) pflush_ = true;
    C_ = std::max(C_, P_ + 1);
    if ((w_.loophead || NL_ < 1) && v_.palign_) C_ = P_ + 1 + kTabStop * ceil_div(C_ - P_ - 1, kTabStop);
    if (v_.ptabs_) expand_tabs();
    if (!fits(C_)) {
      pflush_ = true;
      C_ = v_.pxml_ ? 1 : W_ + 1 - n_;
      C_ = std::max(C_, P_ + 1);
    }
    if (pflush_) finish_line();
    F_ = C_ + placed_length();
    w_.waslop = !w_.loophead && NL_ > 0 && v_.ploopwrap_;
    if (n_ == 0) {
      if (F_ == P_ + 1 && line_.at(P_ + 1) == ' ') F_ = P_;
      w_.nextcol = F_ + 1;
      w_.linepos = F_;
      return;
    }
    copy_piece();
  }

 private:
  static int ceil_div(int a, int b) { return (a + b - 1) / b; }

  int placed_length() const { return v_.ptabs_ ? m_ : n_; }
  bool fits(int c) const { return c + n_ <= W_ + 1 && (!v_.ptabs_ || c + m_ <= W_ + 1); }

  bool is_loop_value() const {
    const bool comment = piece_[0] == (v_.pxml_ ? '<' : '#');
    return !comment && !w_.loophead && !w_.intextfield && NL_ > 0;
  }

  void choose_loop_column() {
    ++w_.loopcol;
    if (!v_.ploopwrap_ && !v_.palign_) {
      if (w_.loopcol > NL_) w_.loopcol = 1;  // the values simply flow on
      return;
    }
    if (w_.loopcol > NL_) {  // a new row
      if (F_ > P_) pflush_ = true;
      w_.loopcol = 1;
      if (C_ > 0) C_ = P_ + 1;
    }
    if (C_ < 0) return;
    if (v_.palign_) {
      C_ = loop_bin_column(P_, W_, NL_, w_.loopcol);
      return;
    }
    if (v_.ptabs_) expand_tabs();
    if (!fits(C_)) {
      if (F_ > P_) pflush_ = true;
      C_ = P_ + 1;
    }
  }

  // Tabs go to stops every 8 columns counted from column C of the line; a
  // tab that would carry text past the buffer, and every tab after it, stays.
  void expand_tabs() {
    char* out = temp2_.data();
    m_ = 0;
    int c = C_;
    bool expanding = true;
    for (char ch : piece_) {
      const int stop = kTabStop * (c / kTabStop) + kTabStop;
      if (ch == '\t' && expanding && stop >= MAXBUF) expanding = false;
      if (ch != '\t' || !expanding) {
        out[m_++] = ch;
        ++c;
        continue;
      }
      for (; c <= stop; ++c) out[m_++] = ' ';
    }
  }

  void finish_line();
  void copy_piece();
  void write_text_from(int first, std::string_view text);

  Visible& v_;
  WriterState& w_;
  CoreState& core_;
  OutputLine line_;
  std::string_view piece_;
  std::array<char, kMaxExpanded> temp2_;  // filled up to m_ before use
  int W_ = MAXBUF, P_ = 0, C_ = 0, F_ = 0, NL_ = 0, n_ = 0, m_ = 0;
  bool lone_tab_ = false;
  bool pflush_ = false;
};

void PiecePlacer::finish_line() {
  if (F_ > P_) {
    // Nothing stands past the last column in use, unless re-spacing moves it.
    int end = std::min(F_, OutputLine::kLastColumn);
    if (!w_.waslop && v_.palign_ && !w_.textline) {
      respace_line(line_, w_, P_, W_, F_, v_.pxml_);
      end = OutputLine::kLastColumn;
    }
    if (emit_record(core_, w_, line_.upto(lastnb(w_.outbuf.view(), end)))) ++v_.outlineno_;
  } else if (v_.outlineno_ >= 1) {
    // No empty line is ever written before the first line of a file.
    if (emit_record(core_, w_, line_.upto(P_))) ++v_.outlineno_;
  }
  w_.waslop = false;
  w_.textline = false;
  w_.piececols.fill(0);
  w_.npieces = 0;
  line_.start(w_.prefix.view(), P_);
}

// Columns C.. receive the piece and its separating blank; a piece that runs
// past the buffer goes on over the following lines, from the prefix on.
void PiecePlacer::copy_piece() {
  std::string_view text = v_.ptabs_ ? std::string_view(temp2_.data(), static_cast<std::size_t>(m_)) : piece_;
  if (C_ > P_ + 1 && w_.npieces < kMaxPieceColumns) w_.piececols.data()[w_.npieces++] = C_;
  // A text field's lines are its value; so is the line of its closing ";".
  if (w_.intextfield || (C_ == P_ + 1 && text.front() == ';')) w_.textline = true;
  if (lone_tab_) --F_;  // no separating blank after a lone tab
  write_text_from(C_, text);
  w_.nextcol = F_ + 1;
  w_.linepos = F_;
  if (w_.nextcol > W_ + 2) warn(" Output CIF line longer than line_");
}

void PiecePlacer::write_text_from(int first, std::string_view text) {
  int placed = line_.receive(first, text);
  if (placed == static_cast<int>(text.size())) {
    if (!lone_tab_) line_.put(F_, ' ');
    return;
  }
  warn(" Output piece longer than the line buffer continued on the next line");
  while (placed < static_cast<int>(text.size())) {
    F_ = OutputLine::kLastColumn + 1;
    finish_line();
    text.remove_prefix(static_cast<std::size_t>(placed));
    placed = line_.receive(P_ + 1, text);
    F_ = P_ + 1 + placed;
  }
  line_.put(F_, ' ');
}

}  // namespace

int prefix_columns(const WriterState& w) { return std::clamp(w.prefixlen, 0, MAXBUF - 1); }

int mxline(int line) { return line <= 0 ? MAXBUF : std::min(line, MAXBUF); }

void putstr(std::string_view text) {
  PiecePlacer placer(state(), text);
  placer.place();
}

bool emit_record(CoreState& core, const WriterState& w, std::string_view record) {
  if (w.output_held) return false;
  if (!core.units.write_buffered(core.output_unit, record)) fail_on_output(core);
  return true;
}

void flush_output() {
  CoreState& core = state().core;
  if (!core.units.flush(core.output_unit)) fail_on_output(core);
}

void fail_on_output(const CoreState& core) {
  const int reason = errno;
  const Unit* u = core.units.find(core.output_unit);
  const std::string path = u != nullptr ? u->path : "unit " + std::to_string(core.output_unit);
  err(" Cannot write " + path + ": " + system_reason(reason));
}

}  // namespace zatrel
