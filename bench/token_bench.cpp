// Token scanner throughput: getstr over every token of a CIF, the lines served
// by the scratch store as the reader gets them.
//
// Build: an executable from this file linked to zatrel_internal, e.g.
//   add_executable(token_bench token_bench.cpp)
//   target_link_libraries(token_bench PRIVATE zatrel_internal)
// Run:
//   python3 ../shared/bench/gen_big.py loop --mb 100 -o /tmp/big.cif
//   ZORERO=/tmp/ ./token_bench /tmp/big.cif [runs]
// The scratch file goes where ZORERO points (else the current directory) and
// is deleted at the end. Reports the copy into the scratch store once, then
// the best of the scanning runs (default 3) in tokens/s and MB/s of input.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>

#include "core/state.hpp"
#include "reader/tokens.hpp"
#include "zatrel/zatrel.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Scans the whole file from its first line; returns the number of tokens.
long long scan_all_tokens() {
  zatrel::CoreState& core = zatrel::state().core;
  core.curline = 0;
  core.bufline = -1;
  core.curcol = zatrel::MAXBUF;
  core.linelen = 0;
  core.blockend = core.nlines;
  long long tokens = 0;
  for (;;) {
    zatrel::getstr();
    if (zatrel::itemtype_ == "fini") return tokens;
    ++tokens;
  }
}

int run(const char* path, int runs) {
  const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  zatrel::open_message_file(6, "token_bench_messages.txt");
  zatrel::init_(1, 2, 3, 6);

  const Clock::time_point copy_start = Clock::now();
  if (!zatrel::ocif_(path)) {
    std::fprintf(stderr, "cannot open %s\n", path);
    return 1;
  }
  const double copy_seconds = seconds_since(copy_start);
  std::printf("input      %.1f MB, %d lines\n", megabytes, zatrel::state().core.nlines);
  std::printf("ocif_      %.3f s  %.1f MB/s\n", copy_seconds, megabytes / copy_seconds);

  double best = 0;
  long long tokens = 0;
  for (int r = 0; r < runs; ++r) {
    const Clock::time_point start = Clock::now();
    tokens = scan_all_tokens();
    const double elapsed = seconds_since(start);
    if (r == 0 || elapsed < best) best = elapsed;
  }
  std::printf("getstr     %lld tokens in %.3f s (best of %d)\n", tokens, best, runs);
  std::printf("           %.1f Mtokens/s  %.1f MB/s\n", static_cast<double>(tokens) / best / 1e6, megabytes / best);
  zatrel::purge_();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: token_bench FILE.cif [runs]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  try {
    return run(argv[1], runs < 1 ? 1 : runs);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
