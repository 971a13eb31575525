// Numbers in fixed-point notation, as the structure file's fields hold them.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace cif2str {

// A number rounded to `decimals` places, as printf's "%.df" writes it (exact
// binary value, ties to even, the minus sign kept on a negative value that
// rounds to zero), held in place so that a line can take it without an
// allocation.
class FixedDigits {
 public:
  FixedDigits(double value, int decimals);
  std::string_view text() const { return {chars_.data() + first_, size_}; }

 private:
  // The largest double has 309 integer digits. Left unfilled: only the
  // size_ characters from first_ on are ever read.
  std::array<char, 400> chars_;
  std::size_t first_ = 0;
  std::size_t size_ = 0;
};

}  // namespace cif2str
