// The columns of the loop being read, held until its last row has been read.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "spool.hpp"

namespace zatrel::cli {

// Kept from loop to loop so that their temporary files are made once.
class LoopColumns {
 public:
  void prepare(std::size_t columns) {
    if (values_.size() < columns) {
      values_.resize(columns);
      uncertainties_.resize(columns);
      uncertainty_rows_.resize(columns);
    }
    for (std::size_t m = 0; m < columns; ++m) {
      values_[m].clear();
      uncertainties_[m].clear();
      uncertainty_rows_[m] = 0;
    }
  }
  void add_value(std::size_t m, std::size_t row, std::string_view json) {
    if (row > 0) values_[m].write(", ");
    values_[m].write(json);
  }
  // Uncertainties are listed only for columns that have one; the rows before
  // the first are filled with null when it comes.
  void add_uncertainty(std::size_t m, std::size_t row, std::string_view json) {
    pad_uncertainties(m, row);
    if (row > 0) uncertainties_[m].write(", ");
    uncertainties_[m].write(json);
    ++uncertainty_rows_[m];
  }
  bool has_uncertainties(std::size_t m) const { return uncertainty_rows_[m] > 0; }
  void pad_uncertainties(std::size_t m, std::size_t rows) {
    for (; uncertainty_rows_[m] < rows; ++uncertainty_rows_[m])
      uncertainties_[m].write(uncertainty_rows_[m] > 0 ? ", null" : "null");
  }
  Spool& values(std::size_t m) { return values_[m]; }
  Spool& uncertainties(std::size_t m) { return uncertainties_[m]; }

 private:
  std::vector<Spool> values_;
  std::vector<Spool> uncertainties_;
  std::vector<std::size_t> uncertainty_rows_;
};

}  // namespace zatrel::cli
