// The defining items of a dictionary block, read through the toolbox's own
// item operations: first values, loop numbers, and loops walked row by row.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "zatrel/zatrel.hpp"

namespace zatrel {

// One defining item of the current block.
struct Column {
  std::string_view tag;  // the data name it is read under
  bool found = false;    // the block gives it a value
  int loop = 0;          // number of the loop holding it; 0 when not looped
  std::string first;     // its first value, as written

  bool looped() const { return found && loop != 0; }
  bool in_loop_of(const Column& other) const { return looped() && loop == other.loop; }
};

// One value of a row; not present when the item is null there.
struct Cell {
  bool present = false;
  std::string text;
};

// The first value of tag and the loop that holds it.
Column read_column(std::string_view tag);

// The next row's value of a looped column.
Cell next_cell(const Column& column);

// Lets a loop be walked again from its first row: the item reader hands out
// a loop's rows in turn, so a walk must not start where an earlier one ended.
// Made right after data_, when no row is current.
class LoopRestart {
 public:
  LoopRestart() { mark(); }
  void restart() {
    bkmrk_(mark_);
    mark();
  }

 private:
  void mark() {
    mark_ = 0;
    bkmrk_(mark_);
  }
  int mark_ = 0;
};

template <std::size_t N>
using Row = std::array<Cell, N>;

// Calls visit(row, k) for each row k (from 0) of the loop holding columns[0]:
// the columns in that loop give their value in the row, the others their
// first value. An unlooped columns[0] gives one row of first values.
template <std::size_t N, typename Visit>
void for_each_row(LoopRestart& loops, const std::array<const Column*, N>& columns, Visit visit) {
  const Column& lead = *columns[0];
  const auto first_cell = [](const Column& c) { return Cell{c.found, c.first}; };
  if (!lead.looped()) {
    Row<N> row;
    for (std::size_t i = 0; i < N; ++i) row[i] = first_cell(*columns[i]);
    visit(row, 0);
    return;
  }
  loops.restart();
  bool more = true;
  for (int k = 0; more; ++k) {
    Row<N> row;
    row[0] = next_cell(lead);
    more = inloop_;
    for (std::size_t i = 1; i < N; ++i)
      row[i] = columns[i]->in_loop_of(lead) ? next_cell(*columns[i]) : first_cell(*columns[i]);
    visit(row, k);
  }
  // Later first values of this loop are read from its first row again.
  loops.restart();
}

}  // namespace zatrel
