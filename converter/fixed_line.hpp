// The fixed-width vocabulary of the structure file: lines built by 1-based
// columns, and numbers in Fortran-style Fw.d fields.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <string>
#include <string_view>

#include "fixed_digits.hpp"

namespace cif2str {

// A number rounded to `decimals` places and right-aligned in `width` columns,
// rendered as printf's "%w.df" does. A number that needs more columns is
// written whole: the refinement program cannot read the asterisks a Fortran
// field would print.
std::string fixed_field(double value, int width, int decimals);

// The two fields every number of the structure file uses.
inline std::string f8_5(double value) { return fixed_field(value, 8, 5); }
inline std::string f10_5(double value) { return fixed_field(value, 10, 5); }

// One output line addressed by column, first column 1. Columns not yet given
// a character are blanks. The line grows as far as its texts need: a text is
// never cut to fit its field.
class FixedLine {
 public:
  // The line becomes `opening`, every later column blank.
  void start(std::string_view opening);

  // Columns first..last receive `text`, blank-padded when shorter; a longer
  // text is placed whole and the field widens. Returns the field's last column.
  // Inline: most texts are short literals, copied without a library call.
  std::size_t receive(std::size_t first, std::size_t last, std::string_view text) {
    const std::size_t field_end = std::max(last, first + text.size() - 1);
    // The text, then the padding of a short one.
    char* const after = std::copy(text.begin(), text.end(), field(first, field_end));
    std::fill(after, columns_.data() + field_end, ' ');
    return field_end;
  }

  // A field exactly as wide as its text, from column `first`.
  std::size_t receive(std::size_t first, std::string_view text) {
    return receive(first, first + text.size() - 1, text);
  }

  // Columns first..last receive fixed_field(value, last - first + 1,
  // decimals). Returns the field's last column.
  std::size_t receive_fixed(std::size_t first, std::size_t last, double value, int decimals);

  // Column of the last non-blank character, 0 when the line is all blank.
  std::size_t end_of_text() const;

  // Columns 1..column exactly, trailing blanks included.
  std::string_view upto(std::size_t column);

  // Columns 1..end_of_text().
  std::string_view text() { return upto(end_of_text()); }

 private:
  // Column `first`, the line grown to reach `field_end`.
  char* field(std::size_t first, std::size_t field_end) {
    assert(first >= 1 && "columns start at 1");
    if (columns_.size() < field_end) grow(field_end);
    used_ = std::max(used_, field_end);
    return columns_.data() + (first - 1);
  }
  void grow(std::size_t columns);

  // Every column past used_ is blank, so that a line reuses the room of
  // the lines before it without growing for each field.
  std::string columns_;
  std::size_t used_ = 0;
};

}  // namespace cif2str
