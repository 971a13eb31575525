// dict_load DICT [RUNS]: loads the dictionary RUNS times (default 10), each in
// a fresh toolbox, and prints the best and median time of one load and the
// number of names it defines.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <zatrel/zatrel.hpp>

#include "core/state.hpp"

namespace {

// One load in a fresh toolbox; its time in milliseconds, -1 when it failed.
double load_once(const char* file) {
  zatrel::reset_state();
  zatrel::init_(31, 32, 33, 34);
  zatrel::open_message_file(34, "/dev/null");
  const auto start = std::chrono::steady_clock::now();
  bool loaded = false;
  try {
    loaded = zatrel::dict_(file, "valid dtype");
  } catch (const zatrel::Fatal&) {
  }
  const auto end = std::chrono::steady_clock::now();
  zatrel::purge_();
  return loaded ? std::chrono::duration<double, std::milli>(end - start).count() : -1.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: dict_load DICT [RUNS]\n");
    return 1;
  }
  const int runs = argc == 3 ? std::max(1, std::atoi(argv[2])) : 10;
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double ms = load_once(argv[1]);
    if (ms < 0) {
      std::fprintf(stderr, "dict_load: %s could not be loaded\n", argv[1]);
      return 1;
    }
    times.push_back(ms);
  }
  std::sort(times.begin(), times.end());
  std::printf("%s: %d names, %d categories; load best %.1f ms, median %.1f ms (%d runs)\n", argv[1],
              zatrel::state().dict.names.count, zatrel::state().dict.cats.count, times.front(),
              times[times.size() / 2], runs);
  return 0;
}
