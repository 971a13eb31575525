#!/bin/sh
# Reads a single-loop CIF of 100 MB with read_all and with zatrel dump (to
# /dev/null), and reports the speed in MB/s and the peak memory of each. The
# speed is given per second of wall-clock time and per second of CPU time,
# which does not depend on what else the machine is doing.
#
# Usage: bench/read_all.sh [BUILD_DIR [MB [RUNS]]]
#   BUILD_DIR  the build tree holding bench/read_all and tools/zatrel (default: build)
#   MB         the size of the generated file in megabytes of 10^6 bytes (default: 100)
#   RUNS       runs of each program; the best is reported (default: 3)
# GEN_BIG names another copy of the generator; TMPDIR where the file is made.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
mb=${2:-100}
runs=${3:-3}
gen=${GEN_BIG:-$here/../../shared/bench/gen_big.py}
read_all=$build/bench/read_all
zatrel=$build/tools/zatrel
for program in "$read_all" "$zatrel"; do
  [ -x "$program" ] || { echo "read_all.sh: $program is not built" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/read_all.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
cif=$work/loop_${mb}mb.cif
python3 "$gen" loop --mb "$mb" -o "$cif" >/dev/null
bytes=$(stat -c %s "$cif")
# The toolbox's scratch copy goes next to the file, not into the current directory.
export ZORERO="$work/"

. "$here/measure.sh"

echo "file: $(awk -v b="$bytes" 'BEGIN { printf "%.1f MB", b / 1e6 }') single-loop CIF (gen_big.py loop --mb $mb)"
measure "read_all" "$read_all" "$cif"
sed 's/^/  /' "$work/stdout.txt"
measure "zatrel dump -o /dev/null" "$zatrel" dump "$cif" -o /dev/null
