// What the converter keeps of a mode CIF between reading and writing: the
// atoms of the parent structure, the mode sets, and their sparse matrices.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "blanks.hpp"

namespace cif2str {

// Nearest whole number, halves away from zero (2.5 gives 3, -2.5 gives -3).
// Clamped to the int range, so that no count or index read from a file can
// overflow; NaN gives 0.
int nearest_integer(double value);

// The refinement parameter name of mode `index` (1-based): the letter and all
// the index's digits, a1 ... a9999, a10000. Held in place: the writer names a
// mode for every term of every matrix row.
class ModeName {
 public:
  ModeName(char letter, long long index);
  std::string_view text() const { return {chars_.data(), size_}; }

 private:
  std::array<char, 21> chars_{};  // the letter, a sign and 19 digits
  std::size_t size_ = 0;
};

std::string mode_name(char letter, long long index);

using zatrel::programs::without_trailing_blanks;

struct Atom {
  std::string label;  // whole, no trailing blanks
  std::string type;   // exactly two characters: the symbol's first two, blank-padded
  std::array<double, 3> xyz{};
  double occupancy = 1.0;
};

// The site type as the structure file carries it: its first two characters.
std::string site_type(std::string_view symbol);

// The length of the longest atom label: the width the columns align to.
std::size_t longest_label(std::span<const Atom> atoms);

struct MatrixEntry {
  int row = 0;
  int column = 0;
  double value = 0.0;
};

// A square matrix of which only the listed cells are kept: memory and the
// cost of a row follow the entries, not the order. A later entry for a cell
// replaces the earlier one; cells never set (or set to 0) are zero.
class SparseMatrix {
 public:
  explicit SparseMatrix(int order = 0) : order_(order) {}

  int order() const { return order_; }
  bool holds_index(int index) const { return index >= 1 && index <= order_; }

  // Row and column must lie in 1..order().
  void set(int row, int column, double value);

  // The non-zero cells of one row, by increasing column.
  std::span<const MatrixEntry> row(int row) const;

 private:
  void settle() const;

  int order_;
  // Kept in the order read until a row is asked for, then sorted by cell.
  mutable std::vector<MatrixEntry> entries_;
  mutable bool settled_ = true;
};

// A delta coordinate or delta occupancy: one row of its mode matrix.
struct DeltaParameter {
  std::string label;  // whole, no trailing blanks
  double value = 0.0;
};

// The displacive modes (letter a) or the occupancy modes (letter b).
struct ModeSet {
  char letter = 'a';
  int count = 0;
  // Grown as rows are read: a count far beyond what the file holds costs no
  // memory before its short loop stops the run.
  std::vector<DeltaParameter> deltas;
  SparseMatrix matrix;

  ModeName name(long long index) const { return {letter, index}; }
};

}  // namespace cif2str
