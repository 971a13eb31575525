#include "fixed_line.hpp"

#include <algorithm>
#include <cassert>

namespace cif2str {

std::string fixed_field(double value, int width, int decimals) {
  const FixedDigits number(value, decimals);
  const std::string_view digits = number.text();
  const auto field = std::max(static_cast<std::size_t>(std::max(width, 0)), digits.size());
  std::string text(field - digits.size(), ' ');
  text.append(digits);
  return text;
}

void FixedLine::start(std::string_view opening) {
  std::fill_n(columns_.data(), used_, ' ');
  used_ = 0;
  std::copy(opening.begin(), opening.end(), field(1, opening.size()));
}

// By doubling, so that the lines after the longest one reuse its room.
void FixedLine::grow(std::size_t columns) {
  columns_.resize(std::max(columns, 2 * columns_.size()), ' ');
}

std::size_t FixedLine::receive_fixed(std::size_t first, std::size_t last, double value,
                                     int decimals) {
  assert(last >= first && "a number field has a column at least");
  const FixedDigits number(value, decimals);
  const std::string_view digits = number.text();
  const std::size_t width = last - first + 1;
  // Right-aligned: the blanks come first.
  const std::size_t blanks = width > digits.size() ? width - digits.size() : 0;
  const std::size_t field_end = first + blanks + digits.size() - 1;
  char* const start = std::fill_n(field(first, field_end), blanks, ' ');
  std::copy(digits.begin(), digits.end(), start);
  return field_end;
}

std::size_t FixedLine::end_of_text() const {
  const std::size_t last = std::string_view(columns_.data(), used_).find_last_not_of(' ');
  return last == std::string_view::npos ? 0 : last + 1;
}

std::string_view FixedLine::upto(std::size_t column) {
  if (column < used_)
    std::fill(columns_.data() + column, columns_.data() + used_, ' ');
  else
    field(1, column);
  used_ = column;
  return {columns_.data(), used_};
}

}  // namespace cif2str
