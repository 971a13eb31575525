// One pass over a CIF through every reading operation, as a caller that knows
// nothing of the file would make it. The fuzz harness and the regression
// tests of what it once found share it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zatrel::fuzz {

// Opens the CIF at `path` with ocif_ and reads it all: every block and save
// frame with data_, every name with name_, every value with test_ and then
// char_ or numd_ (loops to their last row, text fields to their last line),
// comments with cmnt_, tokens and items with find_, and rows again through
// bookmarks. The toolbox must have been given its units by init_. Returns the
// number of values read; a fatal condition of the toolbox throws
// zatrel::Fatal as usual. False outcomes are simply passed over.
long long read_everything(const std::string& path);

// Opens the CIF at `path` and makes the requests the script's bytes choose,
// one a byte, in any order: a caller that asks for anything at any time.
void read_in_any_order(const std::string& path, std::string_view script);

// The caller's settings the harness takes from an input's size, so that
// mutations explore each of them: bit 1 intabs_, bit 2 nullblank_, bit 4 the
// first half read first and the second half appended to it, bit 8 requests
// in the order the input's own bytes choose instead of read_everything.
struct Variant {
  explicit Variant(std::size_t size)
      : tabs((size & 1) != 0), null_blank((size & 2) != 0), append((size & 4) != 0), any_order((size & 8) != 0) {}
  // Where the bytes are cut: the first file's length.
  std::size_t first_length(std::size_t size) const { return append ? size / 2 : 0; }

  bool tabs;
  bool null_blank;
  bool append;
  bool any_order;
};

// Sets the variant's values, reads `first` when appending (then sets
// appendcif_ and firstline_ to read only what follows) and `rest` with
// read_everything, or with read_in_any_order and `script`.
void read_variant(const Variant& variant, const std::string& first, const std::string& rest,
                  std::string_view script);

}  // namespace zatrel::fuzz
