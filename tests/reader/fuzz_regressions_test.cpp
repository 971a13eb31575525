// Inputs on which the fuzz harnesses once failed: the reading pass of the
// reader harness goes through each to its end, or to the toolbox's fatal
// error, without a crash or a sanitizer report (make check-sanitize).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "read_everything.hpp"
#include "support/fresh_toolbox.hpp"
#include "zatrel/zatrel.hpp"

namespace zatrel {
namespace {

std::vector<std::string> fuzz_inputs() {
  std::vector<std::string> files;
  for (const char* folder : {"read", "cif2str"}) {
    const std::filesystem::path dir = std::filesystem::path(ZATREL_TEST_DATA) / "fuzz" / folder;
    if (!std::filesystem::is_directory(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      if (entry.is_regular_file()) files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

class FuzzRegressions : public testing::FreshToolbox {};

TEST_F(FuzzRegressions, EveryInputIsReadToItsEndOrToAFatalError) {
  const std::vector<std::string> files = fuzz_inputs();
  ASSERT_FALSE(files.empty()) << "no inputs under " << ZATREL_TEST_DATA << "/fuzz";
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    // As the harness read it, then with every other variant too.
    const std::string bytes = testing::read_file(file);
    for (std::size_t bits = 0; bits < 16; ++bits) {
      const fuzz::Variant variant(bits ^ (bytes.size() & 15));
      SCOPED_TRACE(bits == 0 ? "as found" : "variant " + std::to_string(bits));
      const std::size_t cut = variant.first_length(bytes.size());
      const std::string first = write_file("first.cif", bytes.substr(0, cut));
      const std::string rest = write_file("input.cif", bytes.substr(cut));
      reset_state();
      ASSERT_TRUE(open_message_file(testing::kMessageUnit, path("messages.txt")));
      init_(testing::kInputUnit, testing::kOutputUnit, testing::kScratchUnit, testing::kMessageUnit);
      try {
        fuzz::read_variant(variant, first, rest, bytes);
      } catch (const Fatal&) {
        // The toolbox's answer to bad input.
      }
      purge_();
      EXPECT_FALSE(std::filesystem::exists(path("cifscratch.dat"))) << "purge_ left the scratch file";
    }
  }
}

}  // namespace
}  // namespace zatrel
