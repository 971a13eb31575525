#!/bin/sh
# Dictionary loading and validation: the time and peak memory of loading the
# DDL1 core dictionary and the DDL2 mmCIF DDL dictionary, and of
# `zatrel validate` (core dictionary) on generated many-block CIFs beside
# read_all reading every value of the same files.
#
# Usage: bench/validate.sh [BUILD_DIR [MB [RUNS]]]
#   BUILD_DIR  the build tree (default: build)
#   MB         size of the larger generated file, in 10^6 bytes (default: 10);
#              a file of half that size shows how memory grows with size
#   RUNS       runs of each program; the best is reported (default: 3)
# GEN_BIG names another copy of the generator, DICT_DIR the folder holding
# mmcif_ddl.dic (default: the shared corpus); TMPDIR where files are made.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
mb=${2:-10}
runs=${3:-3}
gen=${GEN_BIG:-$here/../../shared/bench/gen_big.py}
dict_dir=${DICT_DIR:-$here/../../shared/corpus/dict}
core=$build/share/zatrel/cif_core_2.4.5.dic
for program in "$build/bench/dict_load" "$build/bench/read_all" "$build/tools/zatrel"; do
  [ -x "$program" ] || { echo "validate.sh: $program is not built" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/validate_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
export ZORERO="$work/"

# measure LABEL COMMAND...: best wall-clock time and largest peak RSS of $runs runs.
measure() {
  label=$1
  shift
  run=1
  while [ "$run" -le "$runs" ]; do
    /usr/bin/time -v -o "$work/time.$run" "$@" >/dev/null 2>"$work/stderr.txt" || true
    run=$((run + 1))
  done
  # CPU time (user + system) does not depend on what else the machine is doing.
  awk -v label="$label" '
    FNR == 1 { cpu = 0 }
    /Elapsed \(wall clock\) time/ {
      n = split($NF, part, ":"); wall = 0
      for (i = 1; i <= n; i++) wall = wall * 60 + part[i]
      if (best == "" || wall < best) best = wall
    }
    /User time \(seconds\)/ || /System time \(seconds\)/ { cpu += $NF }
    /Exit status/ { if (best_cpu == "" || cpu < best_cpu) best_cpu = cpu }
    /Maximum resident set size/ { if ($NF > rss) rss = $NF }
    END { printf "%-44s %6.3f s wall  %6.3f s CPU  peak RSS %5.1f MB\n", label, best, best_cpu, rss / 1024 }' "$work"/time.*
  rm -f "$work"/time.*
}

echo "Loading dictionaries (in-process, fresh toolbox each run):"
"$build/bench/dict_load" "$core" 20
[ -f "$dict_dir/mmcif_ddl.dic" ] && "$build/bench/dict_load" "$dict_dir/mmcif_ddl.dic" 20
measure "dict_load cif_core (one load, whole process)" "$build/bench/dict_load" "$core" 1
[ -f "$dict_dir/mmcif_ddl.dic" ] &&
  measure "dict_load mmcif_ddl (one load, whole process)" "$build/bench/dict_load" "$dict_dir/mmcif_ddl.dic" 1

half=$(awk -v m="$mb" 'BEGIN { print m / 2 }')
for size in "$half" "$mb"; do
  cif=$work/blocks_${size}mb.cif
  python3 "$gen" blocks --mb "$size" -o "$cif" >/dev/null
  echo "file: $(stat -c %s "$cif") bytes (gen_big.py blocks --mb $size)"
  measure "  read_all (every value)" "$build/bench/read_all" "$cif"
  measure "  zatrel validate (cif_core, valid dtype)" "$build/tools/zatrel" validate "$cif"
  echo "  $(tail -n 1 "$work/stderr.txt")"
  rm -f "$cif"
done
