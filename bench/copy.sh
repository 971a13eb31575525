#!/bin/sh
# Copies a single-loop CIF of 100 MB with zatrel copy and zatrel copy --xml
# (to /dev/null), and reports the speed in MB/s of the file read and the
# peak memory of each, beside zatrel dump for the reading alone.
#
# Usage: bench/copy.sh [BUILD_DIR [MB [RUNS]]]
#   BUILD_DIR  the build tree holding tools/zatrel (default: build)
#   MB         the size of the generated file in megabytes of 10^6 bytes (default: 100)
#   RUNS       runs of each program; the best is reported (default: 3)
# GEN_BIG names another copy of the generator; TMPDIR where the files are made.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
mb=${2:-100}
runs=${3:-3}
gen=${GEN_BIG:-$here/../../shared/bench/gen_big.py}
zatrel=$build/tools/zatrel
[ -x "$zatrel" ] || { echo "copy.sh: $zatrel is not built" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/copy.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
cif=$work/loop_${mb}mb.cif
python3 "$gen" loop --mb "$mb" -o "$cif" >/dev/null
bytes=$(stat -c %s "$cif")
# The scratch copy and the copy's temporary file go next to the input.
export ZORERO="$work/"
export TMPDIR="$work"

. "$here/measure.sh"

echo "file: $(awk -v b="$bytes" 'BEGIN { printf "%.1f MB", b / 1e6 }') single-loop CIF (gen_big.py loop --mb $mb)"
measure "zatrel dump -o /dev/null" "$zatrel" dump "$cif" -o /dev/null
measure "zatrel copy -o /dev/null" "$zatrel" copy "$cif" -o /dev/null
measure "zatrel copy --xml" "$zatrel" copy --xml "$cif" -o /dev/null
