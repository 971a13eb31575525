// The output line under construction addressed by column, first column 1.
// Every access is held to the MAXBUF columns of the buffer, so no layout rule
// can read or write outside it, whatever columns it computes.
#pragma once

#include <string_view>

#include "zatrel/zatrel.hpp"

namespace zatrel {

class OutputLine {
 public:
  static constexpr int kLastColumn = MAXBUF;

  explicit OutputLine(Text<MAXBUF>& columns) noexcept : columns_(columns) {}

  // Columns 1..width receive the prefix (blanks beyond its end), the rest blanks.
  void start(std::string_view prefix, int width) noexcept;

  // The character in column c; a blank outside the line.
  char at(int c) const noexcept { return holds(c) ? columns_.col(static_cast<std::size_t>(c)) : ' '; }

  // True when every column first..last within the line is blank.
  bool blank(int first, int last) const noexcept;

  // Columns first.. receive text, as far as the line goes; returns how many
  // characters of text found a column.
  int receive(int first, std::string_view text) noexcept;

  // Column c receives ch, when it is within the line.
  void put(int c, char ch) noexcept {
    if (holds(c)) *column(c) = ch;
  }

  // The text of columns first..last-count moves count columns right, within
  // first..last; the columns it leaves become blank.
  void shift_right(int first, int last, int count) noexcept;

  // Column of the last non-blank character within 1..upto; 0 when none.
  int end_of_text(int upto) const noexcept;

  // True when the text stands from column c on.
  bool holds_at(int c, std::string_view text) const noexcept;

  // Columns 1..c exactly.
  std::string_view upto(int c) const noexcept;

 private:
  static bool holds(int c) noexcept { return c >= 1 && c <= kLastColumn; }
  char* column(int c) noexcept { return columns_.data() + (c - 1); }

  Text<MAXBUF>& columns_;
};

}  // namespace zatrel
