// zatrel dump on inputs that used to cost memory or data: lines of many
// megabytes, bytes without any line end, and a CIF that is the scratch file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/files.hpp"

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

struct DumpRun {
  int status = -1;
  long peak_kilobytes = 0;  // the program's largest resident set
  std::string err;
};

using zatrel::testing::read_file;

class ReadingLimits : public ::testing::Test {
 protected:
  // Runs `zatrel dump file` in the test's directory, which also holds the
  // scratch file. With `file` /dev/stdin, `bytes` of `fill` and then `tail`
  // are fed to it through a pipe, never held whole by this test.
  DumpRun dump(const std::string& file, std::size_t bytes = 0, char fill = 'x', const std::string& tail = "") const {
    int input[2];
    EXPECT_EQ(::pipe(input), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(input[0], STDIN_FILENO);
      ::close(input[0]);
      ::close(input[1]);
      if (::chdir(dir_.c_str()) != 0) ::_exit(120);
      ::setenv("ZORERO", (dir_.string() + "/").c_str(), 1);
      if (!std::freopen("/dev/null", "w", stdout) || !std::freopen((dir_ / "err.txt").c_str(), "w", stderr))
        ::_exit(121);
      ::execl(ZATREL_CLI_PATH, "zatrel", "dump", file.c_str(), static_cast<char*>(nullptr));
      ::_exit(122);
    }
    ::close(input[0]);
    ::signal(SIGPIPE, SIG_IGN);  // a program that stops reading early is told by EPIPE
    const std::string block(1 << 16, fill);
    for (std::size_t sent = 0; sent < bytes;) {
      const std::size_t n = std::min(block.size(), bytes - sent);
      if (::write(input[1], block.data(), n) != static_cast<ssize_t>(n)) break;
      sent += n;
    }
    if (!tail.empty()) {
      EXPECT_EQ(::write(input[1], tail.data(), tail.size()), static_cast<ssize_t>(tail.size()));
    }
    ::close(input[1]);
    DumpRun run;
    int status = 0;
    struct rusage usage {};
    EXPECT_EQ(::wait4(pid, &status, 0, &usage), pid);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peak_kilobytes = usage.ru_maxrss;
    run.err = read_file(dir_ / "err.txt");
    return run;
  }

  const zatrel::testing::TempDir temp_;
  const fs::path dir_ = temp_.path();
};

// Memory does not grow with the length of a line: one of 48 MB, or 48 MB of
// NUL bytes with no line end at all (as from /dev/zero), costs about what a
// line of a few bytes costs.
TEST_F(ReadingLimits, LongLinesAndEndlessBytesReadInBoundedMemory) {
  const DumpRun small = dump("/dev/stdin", 10, 'x', "\n");
  ASSERT_EQ(small.status, 0) << small.err;
  for (const char fill : {'x', '\0'}) {
    const DumpRun big = dump("/dev/stdin", std::size_t{48} << 20, fill, fill == 'x' ? "\ndata_a\n_k 1\n" : "");
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
  const DumpRun run = dump("cifscratch.dat");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(" Input file is the scratch file"), std::string::npos) << run.err;
  EXPECT_EQ(read_file(dir_ / "cifscratch.dat"), cif);
}

}  // namespace
