#include <gtest/gtest.h>

#include <string>

#include "reader/hash_funcs.hpp"

namespace zatrel {
namespace {

std::string padded(std::string name) {
  name.resize(NAMELEN, ' ');
  return name;
}

TEST(HashValue, OnlyTheLastFourCharactersAboveCode64Count) {
  EXPECT_EQ(hash_value(padded("_cell_length_a"), NUMHASH), 41);
  EXPECT_EQ(hash_value(padded("_atom_site_label"), NUMHASH), 29);
  EXPECT_EQ(hash_value(padded("_a"), NUMHASH), 48);
  EXPECT_EQ(hash_value(padded("1234"), NUMHASH), 1);
  EXPECT_EQ(hash_value(padded("_refine_ls_wr_factor"), NUMHASH), 5);
  EXPECT_EQ(hash_value("_xfactor", NUMHASH), 5);
  EXPECT_NE(hash_value("_A", NUMHASH), hash_value("_a", NUMHASH));
  const int high_bytes = hash_value("_\xE9t\xE9", NUMHASH);  // unsigned codes, still in range
  EXPECT_TRUE(high_bytes >= 1 && high_bytes <= NUMHASH);
}

// Names sharing a bucket are numbered in the order stored and each is found
// again, whichever came first.
TEST(HashTable, NamesSharingABucketAreNumberedInOrderAndFoundAgain) {
  const char* const same_bucket[] = {"_refine_ls_wr_factor", "_xfactor", "_yfactor"};  // all in bucket 5
  NameHash table{5};
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(hash_value(same_bucket[k - 1], NUMHASH), 5);
    EXPECT_EQ(hash_find(same_bucket[k - 1], table), 0);
    EXPECT_EQ(hash_store(same_bucket[k - 1], table), k);
  }
  EXPECT_EQ(hash_store("_xfactor", table), 2);
  EXPECT_EQ(table.count, 3);
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(hash_find(same_bucket[k - 1], table), k);
  EXPECT_EQ(hash_find("_zfactor", table), 0);  // the same bucket, never stored
}

TEST(HashTable, TrailingBlanksDoNotCountButCaseDoes) {
  NameHash table{5};
  EXPECT_EQ(hash_store("_cell_length_a", table), 1);
  EXPECT_EQ(hash_find(padded("_cell_length_a"), table), 1);
  EXPECT_EQ(hash_find("_Cell_length_a", table), 0);
  EXPECT_EQ(hash_store("_Cell_length_a", table), 2);
  // Longer than the width: cut, and found again when stored twice.
  const std::string long_name = "_" + std::string(80, 'x');
  EXPECT_EQ(hash_store(long_name, table), 3);
  EXPECT_EQ(hash_store(long_name, table), 3);
  EXPECT_EQ(hash_find(long_name.substr(0, NAMELEN), table), 3);
}

TEST(HashTable, FullTableRefusesNewNamesOnly) {
  NameHash table{2};
  hash_store("_a", table);
  hash_store("_b", table);
  EXPECT_EQ(hash_store("_c", table), 0);
  EXPECT_EQ(table.count, 2);
  EXPECT_EQ(hash_store("_b", table), 2);
  EXPECT_EQ(hash_find("_a", table), 1);
}

TEST(HashTable, InitLeavesDeadNamesUnfound) {
  NameHash table{5};
  hash_store("_a", table);
  hash_store("_b", table);
  hash_init(table);
  EXPECT_EQ(hash_find("_a", table), 0);
  EXPECT_EQ(hash_find("_b", table), 0);
  EXPECT_EQ(hash_store("_b", table), 1);  // numbered from 1 again
  EXPECT_EQ(table.names[1], "_b");
  EXPECT_EQ(hash_find("_a", table), 0);
  EXPECT_EQ(hash_store("_a", table), 2);
}

}  // namespace
}  // namespace zatrel
