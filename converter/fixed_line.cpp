#include "fixed_line.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cassert>

namespace cif2str {

std::string fixed_field(double value, int width, int decimals) {
  // to_chars with a precision rounds as printf's %f does, without its cost.
  // The largest double has 309 integer digits.
  std::array<char, 400> digits{};
  const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                          std::chars_format::fixed, decimals);
  assert(error == std::errc{} && "the buffer holds any double");
  const auto length = static_cast<std::size_t>(end - digits.data());
  const auto field = std::max(static_cast<std::size_t>(std::max(width, 0)), length);
  std::string text(field - length, ' ');
  text.append(digits.data(), length);
  return text;
}

void FixedLine::start(std::string_view opening) { columns_.assign(opening); }

std::size_t FixedLine::receive(std::size_t first, std::size_t last,
                               std::string_view text) {
  assert(first >= 1 && "columns start at 1");
  const std::size_t field_end = std::max(last, first + text.size() - 1);
  if (columns_.size() < field_end) columns_.resize(field_end, ' ');
  columns_.replace(first - 1, text.size(), text);
  // The padding of a short text.
  for (std::size_t column = first + text.size(); column <= last; ++column)
    columns_[column - 1] = ' ';
  return field_end;
}

std::size_t FixedLine::end_of_text() const {
  const std::size_t last = columns_.find_last_not_of(' ');
  return last == std::string::npos ? 0 : last + 1;
}

std::string_view FixedLine::upto(std::size_t column) {
  columns_.resize(column, ' ');
  return columns_;
}

}  // namespace cif2str
