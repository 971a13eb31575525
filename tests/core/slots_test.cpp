// Tables numbered from 1: fixed, on the heap, and those that take their
// memory as they are filled.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/one_based.hpp"
#include "core/slots.hpp"
#include "core/state.hpp"

namespace zatrel {
namespace {

// Each table is written through its 1-based numbers and read back both by
// number and in order: entry 1 comes first, entry size() last, none is lost.
template <typename Table>
std::vector<int> written_then_walked(Table& table) {
  for (int i = 1; i <= table.size(); ++i) table[i] = 10 * i;
  std::vector<int> walked;
  for (int value : table) walked.push_back(value);
  return walked;
}

TEST(OneBased, EntriesAreNumberedFromOne) {
  OneBased<int> heap(3);
  FixedOneBased<int, 4> fixed;
  OneBased<int> empty;
  struct Case {
    const char* what;
    std::vector<int> walked, expected;
    bool holds_0, holds_past;
  };
  const Case cases[] = {
      {"heap", written_then_walked(heap), {10, 20, 30}, heap.holds(0), heap.holds(4)},
      {"fixed", written_then_walked(fixed), {10, 20, 30, 40}, fixed.holds(0), fixed.holds(5)},
      {"empty", written_then_walked(empty), {}, empty.holds(0), empty.holds(1)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.walked, c.expected) << c.what;
    EXPECT_FALSE(c.holds_0) << c.what;
    EXPECT_FALSE(c.holds_past) << c.what;
  }
  EXPECT_TRUE(heap.holds(1) && heap.holds(3));
}

TEST(OneBased, ValueInitialisedFilledAndGrown) {
  OneBased<int> table(2);
  EXPECT_EQ(table[1], 0);
  table.fill(7);
  table.resize(4);
  EXPECT_EQ(table[2], 7);
  EXPECT_EQ(table[4], 0);  // added entries start at the initial value
}

TEST(Slots, EntriesAreMadeBlankAndKeepWhatWasWritten) {
  Slots<Name> table(2500);
  EXPECT_EQ(table.made(), 0);
  table.make(3) = "_cell_length_a";
  EXPECT_TRUE(table[1].blank());  // made with it, at the initial value
  EXPECT_TRUE(table[2].blank());
  for (int i = 4; i <= 2000; ++i) table.make(i) = "_n" + std::to_string(i);
  EXPECT_EQ(table[3], "_cell_length_a");  // kept across the moves
  EXPECT_EQ(table[1999], "_n1999");
  EXPECT_EQ(table.make(2000), "_n2000");  // making it again keeps it
  EXPECT_LE(table.made(), 2500);          // never beyond the capacity asked for
  EXPECT_EQ(table.capacity(), 2500);
}

TEST(Slots, AnIndexPastTheCapacityStillGetsItsOwnEntry) {
  Slots<int> table(10);
  table.make(25) = 7;
  EXPECT_EQ(table[25], 7);
  EXPECT_EQ(table[24], 0);
}

// A fresh state holds no more than the tables' first entries: the cost of a
// run on a small file must not be that of the largest one.
TEST(Slots, AFreshStateTakesLittleMemory) {
  reset_state();
  const State& s = state();
  EXPECT_EQ(s.reader.names.made(), 0);
  EXPECT_EQ(s.dict.entries.made(), 0);
  EXPECT_EQ(s.dict.names.names.made(), 0);
  EXPECT_LT(sizeof(State), std::size_t{256} * 1024);
}

}  // namespace
}  // namespace zatrel
