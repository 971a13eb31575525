// Every real mode CIF of the corpus: no crash, a complete conversion when the
// file has what the converter needs, and a well-formed structure file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cif2str_harness.hpp"

namespace cif2str::testing {
namespace {

// The items no conversion can do without (occupancy modes aside).
const char* const needed_names[] = {
    "_symmetry_space_group_name_h-m", "_cell_length_a", "_cell_length_b", "_cell_length_c",
    "_cell_angle_alpha", "_cell_angle_beta", "_cell_angle_gamma",
    "_qel_displacivemode_number", "_atom_site_label", "_atom_site_type_symbol",
    "_atom_site_fract_x", "_atom_site_fract_y", "_atom_site_fract_z",
    "_qel_displacivemode_label", "_qel_displacivemode_value", "_qel_deltacoordinate_label",
    "_qel_deltacoordinate_value", "_qel_displacivemodematrix_row",
    "_qel_displacivemodematrix_col", "_qel_displacivemodematrix_value",
    "_qel_coordinate_label", "_qel_coordinate_formula"};

bool names_everything_needed(std::string cif) {
  std::transform(cif.begin(), cif.end(), cif.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::all_of(std::begin(needed_names), std::end(needed_names),
                     [&](const char* name) { return cif.find(name) != std::string::npos; });
}

std::vector<std::filesystem::path> corpus_files() {
  std::vector<std::filesystem::path> files;
  const char* folder = std::getenv("ZATREL_CORPUS_MODES");
  if (folder == nullptr) return files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().extension() == ".cif") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(ModeCorpus, EveryFileConvertsOrStopsCleanly) {
  const auto files = corpus_files();
  if (files.empty()) GTEST_SKIP() << "ZATREL_CORPUS_MODES names no folder of mode CIFs";
  TempDir dir;
  std::size_t complete = 0;
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    const Outcome outcome = convert_in(dir.path(), {file.string()});
    if (names_everything_needed(read_file(file.string()))) {
      EXPECT_EQ(outcome.status, 0) << outcome.err;
    }
    if (outcome.status == 0) {
      ++complete;
      EXPECT_EQ(outcome.err, "");
      EXPECT_EQ(structure_faults(outcome.out), std::vector<std::string>{});
    } else {
      EXPECT_EQ(outcome.status, 1);
      EXPECT_TRUE(outcome.err.starts_with("STOP ")) << outcome.err;
      EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1);
    }
  }
  EXPECT_GT(complete, 0u);
}

// Structure files checked line by line against their CIFs.
TEST(ModeCorpus, ChosenFilesGiveTheirCheckedStructureFiles) {
  const char* folder = std::getenv("ZATREL_CORPUS_MODES");
  if (folder == nullptr) GTEST_SKIP() << "ZATREL_CORPUS_MODES is not set";
  TempDir dir;
  for (const auto& entry : std::filesystem::directory_iterator(expected_dir())) {
    if (entry.path().extension() != ".str") continue;
    const std::string name = entry.path().stem().string();
    SCOPED_TRACE(name);
    const std::string cif = std::string(folder) + "/" + name + ".cif";
    ASSERT_TRUE(std::filesystem::exists(cif));
    const Outcome outcome = convert_in(dir.path(), {cif});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, read_file(entry.path().string()));
  }
}

TEST(BundledExamples, TheRealExampleConverts) {
  TempDir dir;
  const Outcome outcome =
      convert_in(dir.path(), {examples_dir() + "/SrTiO3_P4mmm_X1plus_2modes.cif"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, read_file(expected_dir() + "/SrTiO3_P4mmm_X1plus_2modes.str"));
}

}  // namespace
}  // namespace cif2str::testing
