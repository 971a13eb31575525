// Inputs on which the fuzz harnesses once failed: cif2str converts each or
// stops with one STOP line of its own, never an internal error, a crash or a
// sanitizer report (make check-sanitize).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cif2str_harness.hpp"

namespace cif2str::testing {
namespace {

std::vector<std::string> fuzz_inputs() {
  std::vector<std::string> files;
  for (const char* folder : {"cif2str", "read"}) {
    const std::filesystem::path dir = source_root() / "tests/data/fuzz" / folder;
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      if (entry.is_regular_file()) files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(FuzzRegressions, EveryInputConvertsOrStopsWithAReason) {
  const std::vector<std::string> files = fuzz_inputs();
  ASSERT_FALSE(files.empty());
  const TempDir dir;
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    write_file(dir.file("input.cif"), read_file(file));
    const Outcome outcome = convert_in(dir.path(), {"input.cif"});
    if (outcome.status == 0) {
      EXPECT_EQ(outcome.err, "");
      continue;
    }
    EXPECT_EQ(outcome.status, 1);
    EXPECT_TRUE(outcome.err.starts_with("STOP ")) << outcome.err;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    EXPECT_FALSE(outcome.err.starts_with("STOP Internal error")) << outcome.err;
  }
}

}  // namespace
}  // namespace cif2str::testing
