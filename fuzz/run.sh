#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang++ and runs each for a while, under
# AddressSanitizer and UndefinedBehaviorSanitizer. Fails on any crash, leak,
# sanitizer report, timeout or excess of memory; the input that caused it is
# left in $FUZZ_BUILD/artifacts/<harness>/.
#
#   fuzz/run.sh [harness...]        (default: read_fuzz cif2str_fuzz)
#
# FUZZ_SECONDS   how long each harness runs (default 60)
# FUZZ_BUILD     build directory (default build-fuzz)
# FUZZ_MAX_LEN   largest input in bytes (default 4096: a run costs about a
#                millisecond per kilobyte, so small inputs keep runs many a
#                second; larger seeds are cut to it)
# ZATREL_CORPUS  the corpus folder, with cif/ and modes/ in it (default
#                ../shared/corpus beside the repository); the seeds are
#                read, never written: new inputs go to $FUZZ_BUILD/corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD:-build-fuzz}
max_len=${FUZZ_MAX_LEN:-4096}
corpus=${ZATREL_CORPUS:-$(cd .. && pwd)/shared/corpus}
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(read_fuzz cif2str_fuzz)

scripts/install-deps.sh --fuzz
CXX=${FUZZ_CXX:-clang++} cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZATREL_FUZZ=ON -DZATREL_TESTS=OFF -DZATREL_BENCH=OFF > /dev/null
cmake --build "$build" -j "${JOBS:-2}" --target "${harnesses[@]}"
# Absolute paths: the cif2str harness works in a directory of its own.
build=$(cd "$build" && pwd)

# Seeds for each harness: every CIF of the corpus for the reader, the mode
# files (then the rest) for cif2str. A missing folder is skipped.
seeds_for() {
  local dirs=()
  case "$1" in
    cif2str_fuzz) dirs=("$corpus/modes" "$corpus/cif") ;;
    *) dirs=("$corpus/cif" "$corpus/modes" "$corpus/dict") ;;
  esac
  for d in "${dirs[@]}"; do [ -d "$d" ] && echo "$d"; done
  return 0
}

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:${UBSAN_OPTIONS:-}

status=0
for h in "${harnesses[@]}"; do
  work="$build/corpus/$h"
  artifacts="$build/artifacts/$h"
  mkdir -p "$work" "$artifacts"
  mapfile -t seeds < <(seeds_for "$h")
  echo "== $h: ${seconds}s, seeds: ${seeds[*]:-none}"
  if ! "$build/fuzz/$h" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len="$max_len" -dict="$PWD/fuzz/cif.dict" -print_final_stats=1 -artifact_prefix="$artifacts/" \
      "$work" "${seeds[@]}" 2>"$build/$h.log"; then
    status=1
    echo "== $h FAILED; the input is in $artifacts/"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error|ALARM|MS:)' "$build/$h.log" | head -20 || true
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$build/$h.log" || true
done
exit $status
