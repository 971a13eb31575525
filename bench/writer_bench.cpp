// Writer throughput: numbers with uncertainties in a 5-column aligned loop,
// composed by putnum and placed by putstr, the lines written to /dev/null
// through the output unit; beside it a bare snprintf("%.4f") for scale.
//
// Run: build/bench/writer_bench [--benchmark_repetitions=3]
// Each benchmark writes 10 million numbers. Numbers/s is items_per_second;
// MB/s of lines is bytes_per_second (from the bytes a first pass writes to a
// file for the same numbers).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "core/state.hpp"
#include "writer/line_composition.hpp"
#include "zatrel/zatrel.hpp"

namespace {

constexpr int kOutputUnit = 2;
constexpr long long kNumbers = 10'000'000;
constexpr std::size_t kDistinct = 4096;

struct Measurement {
  double value, esd;
};

// Values from 1e-3 to 1e4 with uncertainties 10 to 10^5 times smaller.
const std::array<Measurement, kDistinct>& measurements() {
  static const auto table = [] {
    std::array<Measurement, kDistinct> t{};
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> magnitude(-3, 3), relative(1, 5);
    for (Measurement& m : t) {
      m.value = (rng() % 4 == 0 ? -1 : 1) * mantissa(rng) * std::pow(10.0, magnitude(rng));
      m.esd = std::fabs(m.value) * mantissa(rng) * std::pow(10.0, -relative(rng) - 1);
    }
    return t;
  }();
  return table;
}

// A fresh toolbox writing a 5-column loop at width 80 to the given file.
void start_loop_output(const char* path) {
  zatrel::reset_state();
  zatrel::init_(1, kOutputUnit, 3, 6);
  zatrel::line_ = 80;
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) std::abort();
  zatrel::state().core.units.adopt(kOutputUnit, zatrel::FileDescriptor(fd), path);
  zatrel::WriterState& w = zatrel::state().writer;
  w.loopcols = 5;
  w.loopcol = 0;
  w.loophead = false;
}

void write_numbers(long long count) {
  const auto& table = measurements();
  for (long long i = 0; i < count; ++i) {
    const Measurement& m = table[static_cast<std::size_t>(i) % kDistinct];
    zatrel::putnum(m.value, m.esd, zatrel::dprec_);
  }
}

// Bytes of lines per number, from a first pass written to a file.
double bytes_per_number() {
  static const double per_number = [] {
    const std::string path = (std::filesystem::temp_directory_path() / "writer_bench_sizes.cif").string();
    constexpr long long kSample = 1'000'000;
    start_loop_output(path.c_str());
    write_numbers(kSample);
    zatrel::state().core.units.close(kOutputUnit);
    const double bytes = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
    return bytes / kSample;
  }();
  return per_number;
}

void BM_PutnumLoop(benchmark::State& state) {
  const double per_number = bytes_per_number();
  start_loop_output("/dev/null");
  const auto& table = measurements();
  long long i = 0;
  for (auto _ : state) {
    const Measurement& m = table[static_cast<std::size_t>(i++) % kDistinct];
    zatrel::putnum(m.value, m.esd, zatrel::dprec_);
  }
  zatrel::flush_output();
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(per_number * static_cast<double>(state.iterations())));
}
BENCHMARK(BM_PutnumLoop)->Iterations(kNumbers);

// putstr alone, with pieces of the length the numbers have.
void BM_PutstrLoop(benchmark::State& state) {
  start_loop_output("/dev/null");
  const std::array<std::string, 4> pieces = {"1.2346(17)", "-12.5(3)", ".51234(12)", "1235E1(12)"};
  long long i = 0;
  for (auto _ : state) zatrel::putstr(pieces[static_cast<std::size_t>(i++) % pieces.size()]);
  zatrel::flush_output();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PutstrLoop)->Iterations(kNumbers);

void BM_SnprintfFixed(benchmark::State& state) {
  const auto& table = measurements();
  char text[64];
  long long i = 0;
  for (auto _ : state) {
    std::snprintf(text, sizeof text, "%.4f", table[static_cast<std::size_t>(i++) % kDistinct].value);
    benchmark::DoNotOptimize(text);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SnprintfFixed)->Iterations(kNumbers);

}  // namespace

BENCHMARK_MAIN();
