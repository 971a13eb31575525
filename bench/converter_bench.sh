#!/usr/bin/env bash
# Wall time and peak memory of cif2str on generated mode CIFs of N = 100,
# 1000 and 5000 atoms (3N displacive modes, about 10 matrix entries a row).
#
#   bench/converter_bench.sh [path/to/cif2str]
#
# The program defaults to build/converter/cif2str; the generator is taken from
# the shared folder beside the repository (or $ZATREL_SHARED).
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$repo/build/converter/cif2str}
shared=${ZATREL_SHARED:-$repo/../shared}
generator=$shared/bench/gen_big.py
runs=${RUNS:-5}

[ -x "$program" ] || { echo "no cif2str at $program" >&2; exit 1; }
program=$(realpath "$program")
[ -f "$generator" ] || { echo "no generator at $generator" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

printf '%-8s %10s %10s %12s %12s\n' atoms "CIF bytes" "str bytes" "best wall s" "peak RSS MB"
for atoms in 100 1000 5000; do
  cif=modes_$atoms.cif
  python3 "$generator" modes --atoms "$atoms" -o "$cif" >/dev/null
  best=""
  peak=0
  for _ in $(seq "$runs"); do
    start=$EPOCHREALTIME
    # %M: peak resident set in KB.
    rss=$(/usr/bin/time -f '%M' "$program" "$cif" 2>&1 >out.str | tail -n 1)
    wall=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }')
    if [ -z "$best" ] || awk -v a="$wall" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$wall; fi
    if [ "$rss" -gt "$peak" ]; then peak=$rss; fi
  done
  printf '%-8s %10s %10s %12s %12.1f\n' "$atoms" "$(stat -c %s "$cif")" "$(stat -c %s out.str)" \
    "$best" "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')"
done
