#!/usr/bin/env bash
# Reading speed against an independent reader, measured in the same run:
# read_all (and cif2str on the mode file) beside `gemmi cif2json -c FILE
# /dev/null` on four generated files. The ratio is our time over gemmi's, so
# it holds across machines and busy minutes better than a bare speed.
#
#   bench/versus_gemmi.sh [BUILD_DIR [RUNS]]
#
# BUILD_DIR holds bench/read_all and converter/cif2str (default: build);
# RUNS runs of each program, alternating, the best kept (default: 5).
# ZATREL_SHARED names the shared folder (default: ../shared beside the repo).
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$repo/build}")
runs=${2:-5}
shared=${ZATREL_SHARED:-$repo/../shared}
generator=$shared/bench/gen_big.py
read_all=$build/bench/read_all
cif2str=$build/converter/cif2str

for program in "$read_all" "$cif2str"; do
  [ -x "$program" ] || { echo "versus_gemmi.sh: $program is not built" >&2; exit 1; }
done
command -v gemmi >/dev/null || { echo "versus_gemmi.sh: needs gemmi (Debian package gemmi)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "versus_gemmi.sh: needs /usr/bin/time (Debian package time)" >&2; exit 1; }
[ -f "$generator" ] || { echo "versus_gemmi.sh: no generator at $generator" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/versus_gemmi.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
export ZORERO="$work/"
cd "$work"

python3 "$generator" loop --mb 100 -o loop100.cif >/dev/null
python3 "$generator" loop --mb 10 -o loop10.cif >/dev/null
python3 "$generator" blocks --mb 10 -o blocks10.cif >/dev/null
python3 "$generator" modes --atoms 5000 -o modes5000.cif >/dev/null

# one_run OUT COMMAND...: wall seconds and peak RSS (KB) of one run, appended to OUT.
one_run() {
  local out=$1
  shift
  local start=$EPOCHREALTIME
  local rss
  rss=$(/usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -n 1)
  awk -v a="$start" -v b="$EPOCHREALTIME" -v r="$rss" 'BEGIN { printf "%.4f %d\n", b - a, r }' >>"$out"
}

# best FILE: the least time and the largest peak RSS of the runs in FILE.
best() {
  awk 'NR == 1 || $1 < t { t = $1 } $2 > m { m = $2 } END { printf "%.3f %.1f\n", t, m / 1024 }' "$1"
}

printf '%-22s %9s %9s %9s %9s %9s %7s\n' file "ours s" "MB/s" "ours MB" "gemmi s" "gemmi MB" ratio
row() {
  local label=$1 cif=$2
  shift 2
  rm -f ours.txt gemmi.txt
  for _ in $(seq "$runs"); do
    one_run ours.txt "$@"
    one_run gemmi.txt gemmi cif2json -c "$cif" /dev/null
  done
  read -r ours_s ours_mb < <(best ours.txt)
  read -r gemmi_s gemmi_mb < <(best gemmi.txt)
  awk -v l="$label" -v b="$(stat -c %s "$cif")" -v t="$ours_s" -v m="$ours_mb" -v g="$gemmi_s" -v gm="$gemmi_mb" \
    'BEGIN { printf "%-22s %9.3f %9.1f %9.1f %9.3f %9.1f %7.2f\n", l, t, b / 1e6 / t, m, g, gm, t / g }'
}

row "loop --mb 100" loop100.cif "$read_all" loop100.cif
row "loop --mb 10" loop10.cif "$read_all" loop10.cif
row "blocks --mb 10" blocks10.cif "$read_all" blocks10.cif
row "modes --atoms 5000" modes5000.cif "$read_all" modes5000.cif
row "  cif2str" modes5000.cif "$cif2str" modes5000.cif
