// Tables that take their memory as they are filled.
#include <gtest/gtest.h>

#include <string>

#include "core/slots.hpp"
#include "core/state.hpp"

namespace zatrel {
namespace {

TEST(Slots, EntriesAreMadeBlankAndKeepWhatWasWritten) {
  Slots<Name> table(2501);
  EXPECT_EQ(table.made(), 0U);
  table.make(3) = "_cell_length_a";
  EXPECT_GE(table.made(), 4U);
  EXPECT_TRUE(table[1].blank());  // made with it, at the initial value
  for (std::size_t i = 4; i <= 2000; ++i) table.make(i) = "_n" + std::to_string(i);
  EXPECT_EQ(table[3], "_cell_length_a");  // kept across the moves
  EXPECT_EQ(table[1999], "_n1999");
  EXPECT_LE(table.made(), 2501U);  // never beyond the capacity asked for
  EXPECT_EQ(table.capacity(), 2501U);
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
  EXPECT_EQ(s.reader.names.made(), 0U);
  EXPECT_EQ(s.dict.entries.made(), 0U);
  EXPECT_EQ(s.dict.names.names.made(), 0U);
  EXPECT_LT(sizeof(State), std::size_t{256} * 1024);
}

}  // namespace
}  // namespace zatrel
