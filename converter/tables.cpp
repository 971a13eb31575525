#include "tables.hpp"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <climits>
#include <cmath>

namespace cif2str {

int nearest_integer(double value) {
  if (std::isnan(value)) return 0;
  const double whole = value > 0 ? std::trunc(value + 0.5) : std::trunc(value - 0.5);
  if (whole >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (whole <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(whole);
}

ModeName::ModeName(char letter, long long index) {
  chars_[0] = letter;
  const auto [end, error] = std::to_chars(chars_.data() + 1, chars_.data() + chars_.size(), index);
  assert(error == std::errc{} && "room for any long long");
  size_ = static_cast<std::size_t>(end - chars_.data());
}

std::string mode_name(char letter, long long index) {
  return std::string(ModeName(letter, index).text());
}

std::string site_type(std::string_view symbol) {
  std::string type(symbol.substr(0, 2));
  type.resize(2, ' ');
  return type;
}

std::size_t longest_label(std::span<const Atom> atoms) {
  std::size_t longest = 0;
  for (const Atom& atom : atoms) longest = std::max(longest, atom.label.size());
  return longest;
}

void SparseMatrix::set(int row, int column, double value) {
  assert(holds_index(row) && holds_index(column) && "the reader checks each cell first");
  entries_.push_back({row, column, value});
  settled_ = false;
}

// Sorts by cell once all entries are in, keeping the last entry of each cell
// and dropping zero cells. Mode programs write the matrix row by row, so the
// entries are mostly in order already: then nothing is moved but the zeros.
void SparseMatrix::settle() const {
  if (settled_) return;
  const auto cell_before = [](const MatrixEntry& a, const MatrixEntry& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
  };
  if (!std::is_sorted(entries_.begin(), entries_.end(), cell_before))
    std::stable_sort(entries_.begin(), entries_.end(), cell_before);
  // Compacted in place: a kept entry never moves right.
  std::size_t kept = 0;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const bool replaced = i + 1 < entries_.size() && entries_[i + 1].row == entries_[i].row &&
                          entries_[i + 1].column == entries_[i].column;
    if (!replaced && entries_[i].value != 0.0) entries_[kept++] = entries_[i];
  }
  entries_.resize(kept);
  settled_ = true;
}

std::span<const MatrixEntry> SparseMatrix::row(int row) const {
  settle();
  const auto first = std::lower_bound(
      entries_.begin(), entries_.end(), row,
      [](const MatrixEntry& entry, int wanted) { return entry.row < wanted; });
  auto last = first;
  while (last != entries_.end() && last->row == row) ++last;
  return {first, last};
}

}  // namespace cif2str
