// A table numbered from 1, as the toolbox numbers blocks' names, loops, loop
// slots, bookmarks and dictionary entries, and as callers see those numbers.
// Entry i is held at i - 1: no unused slot 0, and the rule is written here only.
//
// OneBased<T> is sized when made (on the heap); FixedOneBased<T, N> holds its
// N entries in place, for the small tables read on every value request.
#pragma once

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <utility>
#include <vector>

namespace zatrel {

template <typename Storage>
class OneBasedTable {
 public:
  using value_type = typename Storage::value_type;

  OneBasedTable() = default;
  explicit OneBasedTable(Storage items) : items_(std::move(items)) {}

  value_type& operator[](int i) noexcept {
    assert(holds(i));
    return items_[static_cast<std::size_t>(i - 1)];
  }
  const value_type& operator[](int i) const noexcept {
    assert(holds(i));
    return items_[static_cast<std::size_t>(i - 1)];
  }

  bool holds(int i) const noexcept { return i >= 1 && i <= size(); }
  int size() const noexcept { return static_cast<int>(items_.size()); }

  void fill(const value_type& value) { std::fill(items_.begin(), items_.end(), value); }
  // Only for tables on the heap: entries added are value-initialised.
  void resize(int n) { items_.resize(static_cast<std::size_t>(n)); }

  auto begin() noexcept { return items_.begin(); }
  auto end() noexcept { return items_.end(); }
  auto begin() const noexcept { return items_.begin(); }
  auto end() const noexcept { return items_.end(); }

 private:
  Storage items_{};
};

template <typename T>
class OneBased : public OneBasedTable<std::vector<T>> {
 public:
  OneBased() = default;
  explicit OneBased(int size) : OneBasedTable<std::vector<T>>(std::vector<T>(static_cast<std::size_t>(size))) {}
};

template <typename T, int N>
using FixedOneBased = OneBasedTable<std::array<T, static_cast<std::size_t>(N)>>;

}  // namespace zatrel
