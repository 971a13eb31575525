#include "fixed_line.hpp"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace cif2str {

std::string fixed_field(double value, int width, int decimals) {
  // A double prints in at most ~330 characters at 5 decimals, but ask first
  // rather than trust a guess.
  const int needed = std::snprintf(nullptr, 0, "%*.*f", width, decimals, value);
  if (needed < 0) throw std::runtime_error("number formatting failed");
  std::string field(static_cast<std::size_t>(needed) + 1, '\0');
  std::snprintf(field.data(), field.size(), "%*.*f", width, decimals, value);
  field.resize(static_cast<std::size_t>(needed));
  return field;
}

void FixedLine::start(std::string_view opening) { columns_.assign(opening); }

std::size_t FixedLine::receive(std::size_t first, std::size_t last,
                               std::string_view text) {
  if (first == 0) throw std::out_of_range("columns start at 1");
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
