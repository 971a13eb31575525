// zatrel dump on inputs that used to cost memory or data: lines of many
// megabytes, bytes without any line end, and a CIF that is the scratch file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/files.hpp"
#include "support/run_program.hpp"

namespace {

namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

using zatrel::testing::ProgramInput;
using zatrel::testing::ProgramRun;
using zatrel::testing::read_file;

// `bytes` of `fill` and then `tail`, written in blocks: never held whole.
ProgramInput endless(std::size_t bytes, char fill, std::string tail) {
  return {{}, [bytes, fill, tail = std::move(tail)](int fd) {
            const std::string block(1 << 16, fill);
            for (std::size_t sent = 0; sent < bytes; sent += block.size())
              if (!zatrel::testing::write_all(fd, std::string_view(block).substr(0, std::min(block.size(), bytes - sent))))
                return;
            zatrel::testing::write_all(fd, tail);
          }};
}

class ReadingLimits : public ::testing::Test {
 protected:
  // Runs `zatrel dump file` in the test's directory, which also holds the
  // scratch file, with `input` as its standard input.
  ProgramRun dump(const std::string& file, const ProgramInput& input = {}) const {
    return zatrel::testing::run_program({ZATREL_CLI_PATH, "dump", file}, dir_,
                                        zatrel::testing::program_environment(dir_.string() + "/"), input);
  }

  const zatrel::testing::TempDir temp_;
  const fs::path dir_ = temp_.path();
};

// Memory does not grow with the length of a line: one of 48 MB, or 48 MB of
// NUL bytes with no line end at all (as from /dev/zero), costs about what a
// line of a few bytes costs.
TEST_F(ReadingLimits, LongLinesAndEndlessBytesReadInBoundedMemory) {
  const ProgramRun small = dump("/dev/stdin", endless(10, 'x', "\n"));
  ASSERT_EQ(small.status, 0) << small.err;
  for (const char fill : {'x', '\0'}) {
    const ProgramRun big = dump("/dev/stdin", endless(std::size_t{48} << 20, fill, fill == 'x' ? "\ndata_a\n_k 1\n" : ""));
    ASSERT_EQ(big.status, 0) << big.err;
    EXPECT_NE(big.err.find(" Input line length exceeds line_"), std::string::npos) << big.err;
    EXPECT_LT(big.peak_kilobytes - small.peak_kilobytes, 8 * 1024) << "kilobytes more for a 48 MB line";
    if (!kSanitized) {
      EXPECT_LT(big.peak_kilobytes, 20 * 1024);
    }
  }
}

// A CIF named like the scratch file, in the scratch directory, is refused
// and left as it was.
TEST_F(ReadingLimits, ACifThatIsTheScratchFileIsLeftUntouched) {
  const std::string cif = "data_a\n_x 1\n";
  std::ofstream(dir_ / "cifscratch.dat", std::ios::binary) << cif;
  const ProgramRun run = dump("cifscratch.dat");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(" Input file is the scratch file"), std::string::npos) << run.err;
  EXPECT_EQ(read_file(dir_ / "cifscratch.dat"), cif);
}

}  // namespace
