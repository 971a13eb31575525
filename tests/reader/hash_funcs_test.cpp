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

TEST(HashTable, StoresAtTheTailOfItsBucketAndFindsAgain) {
  NameHash table{5};
  EXPECT_EQ(hash_store("_refine_ls_wr_factor", table), 1);
  EXPECT_EQ(hash_store("_xfactor", table), 2);  // same bucket, 5
  EXPECT_EQ(hash_store("_xfactor", table), 2);
  EXPECT_EQ(table.count, 2);
  EXPECT_EQ(table.heads[5], 1);
  EXPECT_EQ(table.chain[1], 2);
  EXPECT_EQ(table.chain[2], 0);
  EXPECT_EQ(hash_find("_refine_ls_wr_factor", table), 1);
  EXPECT_EQ(hash_find("_xfactor", table), 2);
  EXPECT_EQ(hash_find("_yfactor", table), 0);
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
  EXPECT_EQ(table.names[1], "_a");  // still there, but dead
  EXPECT_EQ(hash_find("_a", table), 0);
  EXPECT_EQ(hash_store("_b", table), 1);
  EXPECT_EQ(hash_find("_a", table), 0);
}

}  // namespace
}  // namespace zatrel
