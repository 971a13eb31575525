// Copies a CIF into the scratch store, then reads every line back with getlin,
// and reports MB/s for each phase.
//   scratch_bench FILE
#include <sys/stat.h>

#include <chrono>
#include <cstdio>

#include "core/scratch.hpp"
#include "core/state.hpp"
#include "zatrel/zatrel.hpp"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: scratch_bench FILE\n");
    return 2;
  }
  struct stat info {};
  if (::stat(argv[1], &info) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  const double megabytes = static_cast<double>(info.st_size) / 1e6;
  using Clock = std::chrono::steady_clock;
  try {
    zatrel::init_(1, 2, 3, 6);
    const auto t0 = Clock::now();
    if (!zatrel::ocif_(argv[1])) return 1;
    const auto t1 = Clock::now();
    zatrel::CoreState& core = zatrel::state().core;
    core.blockend = core.nlines;
    zatrel::Text<4> flag;
    long lines = 0;
    std::size_t check = 0;
    for (;;) {
      zatrel::getlin(flag);
      if (flag == "fini") break;
      ++lines;
      check += static_cast<std::size_t>(core.linelen);
    }
    const auto t2 = Clock::now();
    const double copy = std::chrono::duration<double>(t1 - t0).count();
    const double read = std::chrono::duration<double>(t2 - t1).count();
    std::printf("file %.1f MB, %ld lines (%zu significant characters)\n", megabytes, lines, check);
    std::printf("ocif_ copy : %.3f s  %.0f MB/s\n", copy, megabytes / copy);
    std::printf("getlin all : %.3f s  %.0f MB/s\n", read, megabytes / read);
    zatrel::purge_();
  } catch (const zatrel::Fatal& e) {
    std::fprintf(stderr, "STOP %s\n", e.what());
    return 1;
  }
  return 0;
}
