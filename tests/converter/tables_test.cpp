#include "tables.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace cif2str {
namespace {

TEST(NearestInteger, HalvesGoAwayFromZero) {
  EXPECT_EQ(nearest_integer(3.0), 3);
  EXPECT_EQ(nearest_integer(2.6), 3);
  EXPECT_EQ(nearest_integer(2.4), 2);
  EXPECT_EQ(nearest_integer(2.5), 3);
  EXPECT_EQ(nearest_integer(-2.5), -3);
  EXPECT_EQ(nearest_integer(0.0), 0);
  EXPECT_EQ(nearest_integer(2.49), 2);
}

TEST(NearestInteger, ClampsWhatNoIntHolds) {
  EXPECT_EQ(nearest_integer(1e20), INT_MAX);
  EXPECT_EQ(nearest_integer(-1e20), INT_MIN);
  EXPECT_EQ(nearest_integer(std::nan("")), 0);
}

TEST(ModeName, CarriesAllDigits) {
  EXPECT_EQ(mode_name('a', 1), "a1");
  EXPECT_EQ(mode_name('a', 9), "a9");
  EXPECT_EQ(mode_name('a', 10), "a10");
  EXPECT_EQ(mode_name('a', 100), "a100");
  EXPECT_EQ(mode_name('a', 1234), "a1234");
  EXPECT_EQ(mode_name('a', 10000), "a10000");
  EXPECT_EQ(mode_name('b', 7), "b7");
  // The in-place buffer holds the longest index.
  EXPECT_EQ(mode_name('a', LLONG_MIN), "a" + std::to_string(LLONG_MIN));
  EXPECT_EQ(ModeName('b', LLONG_MAX).text(), "b" + std::to_string(LLONG_MAX));
}

TEST(SiteType, KeepsTwoCharacters) {
  EXPECT_EQ(site_type("O2-"), "O2");
  EXPECT_EQ(site_type("Ba2+"), "Ba");
  EXPECT_EQ(site_type("O"), "O ");
  EXPECT_EQ(site_type(""), "  ");
}

TEST(LongestLabel, IsTheWidestWholeLabel) {
  std::vector<Atom> atoms(2);
  atoms[0].label = "O1";
  atoms[1].label = "A_label_of_25_characters_";
  EXPECT_EQ(longest_label(atoms), 25u);
  EXPECT_EQ(longest_label({}), 0u);
}

std::vector<std::pair<int, double>> cells(const SparseMatrix& m, int row) {
  std::vector<std::pair<int, double>> out;
  for (const MatrixEntry& e : m.row(row)) out.emplace_back(e.column, e.value);
  return out;
}

using Cells = std::vector<std::pair<int, double>>;

TEST(SparseMatrix, RowsComeByIncreasingColumnWhateverTheOrderOfEntries) {
  SparseMatrix m(4);
  m.set(2, 3, 0.3);
  m.set(1, 1, 0.5);
  m.set(2, 1, 0.1);
  m.set(4, 4, -1.0);
  EXPECT_EQ(cells(m, 1), (Cells{{1, 0.5}}));
  EXPECT_EQ(cells(m, 2), (Cells{{1, 0.1}, {3, 0.3}}));
  EXPECT_EQ(cells(m, 3), Cells{});
  EXPECT_EQ(cells(m, 4), (Cells{{4, -1.0}}));
}

TEST(SparseMatrix, ALaterEntryReplacesTheCellAndZeroCellsVanish) {
  SparseMatrix m(3);
  m.set(1, 1, 0.5);
  m.set(1, 1, 0.7);
  m.set(1, 2, 0.4);
  m.set(1, 2, 0.0);
  m.set(1, 3, 0.0);
  m.set(1, 3, 0.2);
  EXPECT_EQ(cells(m, 1), (Cells{{1, 0.7}, {3, 0.2}}));
  m.set(1, 1, 0.9);  // entries after a row was read still count
  EXPECT_EQ(cells(m, 1), (Cells{{1, 0.9}, {3, 0.2}}));

  // Out of order too, the entry read last holds the cell.
  SparseMatrix n(3);
  n.set(2, 1, 0.1);
  n.set(1, 1, 0.5);
  n.set(2, 1, 0.3);
  n.set(1, 2, 0.6);
  n.set(2, 1, 0.0);
  n.set(2, 2, 0.8);
  EXPECT_EQ(cells(n, 1), (Cells{{1, 0.5}, {2, 0.6}}));
  EXPECT_EQ(cells(n, 2), (Cells{{2, 0.8}}));
}

TEST(SparseMatrix, HoldsOnlyIndicesOfItsOrder) {
  SparseMatrix m(2);
  EXPECT_FALSE(m.holds_index(0));
  EXPECT_TRUE(m.holds_index(1));
  EXPECT_TRUE(m.holds_index(2));
  EXPECT_FALSE(m.holds_index(3));
  EXPECT_FALSE(SparseMatrix(0).holds_index(1));
  EXPECT_DEBUG_DEATH(m.set(3, 1, 1.0), "the reader checks each cell first");
}

}  // namespace
}  // namespace cif2str
