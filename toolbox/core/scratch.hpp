// The scratch store: every line of the input CIF, run-length coded, in a file
// of 2048-byte records indexed by directory and leaf records.
#pragma once

#include <string>
#include <string_view>

#include "core/state.hpp"
#include "zatrel/zatrel.hpp"

namespace zatrel {

// Where line n of the scratch store is, and where its index entry lives.
struct LineLocation {
  int code = 0;  // 0 when the line is not stored
  int record = 0;
  int position = 0;
  int leaf = 0;
  int leaf_field = 0;
  // Where the leaf's own entry stands, needed only when another leaf is loaded.
  int directory() const { return (leaf - 1) / kLeavesPerDirectory + 1; }
  int directory_field() const { return (leaf - 1) % kLeavesPerDirectory + 2; }
};

// Finds, and creates where missing, the index entry of line n.
LineLocation xxflin(int n);

// Advances curline and brings that line into linebuf; flag becomes "fini"
// beyond the current range, blank when a line was fetched.
void getlin(Text<4>& flag);

// The scratch file's name: $ZORERO (trailing blanks removed) + "cifscratch.dat".
std::string scratch_path();

// Closes the scratch file with deletion: no line is stored any more.
void drop_scratch();

// Writes any index record held in memory that differs from the file.
void flush_index();

}  // namespace zatrel
