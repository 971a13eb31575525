// A table of fixed capacity, numbered from 1, whose memory is taken as it is
// filled.
//
// The name and dictionary tables hold thousands of entries of several
// fixed-width names each; building them whole would cost every run megabytes
// of memory written before the first line is read, though a CIF mostly uses a
// few dozen entries and no dictionary. An entry is made (blank, with those
// before it) by `make` when it is first filled; reading goes straight to it,
// as in a vector, so the lookups of every value request pay nothing for this.
#pragma once

#include <algorithm>

#include "core/one_based.hpp"

namespace zatrel {

template <typename T>
class Slots {
 public:
  explicit Slots(int capacity) : capacity_(capacity) {}

  // Entry i (from 1), made first when it does not exist yet. References to
  // entries stay valid until a later entry is made.
  T& make(int i) {
    if (i > made_.size()) grow_to_hold(i);
    return made_[i];
  }

  // An entry already made.
  T& operator[](int i) noexcept { return made_[i]; }
  const T& operator[](int i) const noexcept { return made_[i]; }

  // Entries made so far, and the most the table is meant to hold.
  int made() const noexcept { return made_.size(); }
  int capacity() const noexcept { return capacity_; }

 private:
  void grow_to_hold(int i) {
    // Doubling keeps the moves few; an index past the capacity still gets its
    // entry rather than a write outside the table.
    const int doubled = std::min(capacity_, std::max(2 * made_.size(), 16));
    made_.resize(std::max(i, doubled));
  }

  int capacity_;
  OneBased<T> made_;
};

}  // namespace zatrel
