#include "writer/output_line.hpp"

#include <algorithm>
#include <cstring>

namespace zatrel {

void OutputLine::start(std::string_view prefix, int width) noexcept {
  columns_.clear();
  width = std::clamp(width, 0, kLastColumn);
  const int n = std::min(width, static_cast<int>(prefix.size()));
  if (n > 0) std::memcpy(column(1), prefix.data(), static_cast<std::size_t>(n));
}

bool OutputLine::blank(int first, int last) const noexcept {
  first = std::max(first, 1);
  last = std::min(last, kLastColumn);
  for (int c = first; c <= last; ++c)
    if (at(c) != ' ') return false;
  return true;
}

int OutputLine::receive(int first, std::string_view text) noexcept {
  if (first > kLastColumn) return 0;
  int skip = 0;
  if (first < 1) {
    skip = 1 - first;
    first = 1;
  }
  if (skip >= static_cast<int>(text.size())) return 0;
  const int n = std::min(static_cast<int>(text.size()) - skip, kLastColumn - first + 1);
  std::memcpy(column(first), text.data() + skip, static_cast<std::size_t>(n));
  return n;
}

void OutputLine::shift_right(int first, int last, int count) noexcept {
  first = std::max(first, 1);
  last = std::min(last, kLastColumn);
  if (count <= 0 || first > last) return;
  const int moved = last - first + 1 - count;
  if (moved > 0) std::memmove(column(first + count), column(first), static_cast<std::size_t>(moved));
  std::memset(column(first), ' ', static_cast<std::size_t>(std::min(count, last - first + 1)));
}

int OutputLine::end_of_text(int upto) const noexcept {
  upto = std::min(upto, kLastColumn);
  if (upto < 1) return 0;
  const int e = lastnb(columns_.view(), upto);
  return at(e) == ' ' ? 0 : e;
}

bool OutputLine::holds_at(int c, std::string_view text) const noexcept {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (at(c + static_cast<int>(i)) != text[i]) return false;
  return true;
}

std::string_view OutputLine::upto(int c) const noexcept {
  return columns_.view().substr(0, static_cast<std::size_t>(std::clamp(c, 0, kLastColumn)));
}

}  // namespace zatrel
