#!/usr/bin/env bash
# Scratch store throughput on a 100 MB single-loop CIF, beside cat.
#   bench/scratch.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:-$here/../build}")
work=${CIFBENCH_DIR:-/tmp/cifbench}
mkdir -p "$work"
file=$work/loop100.cif
[ -f "$file" ] || python3 "$here/gen_big.py" loop --mb 100 -o "$file"
cat "$file" > /dev/null
start=$(date +%s.%N); cat "$file" > /dev/null; end=$(date +%s.%N)
python3 -c "import os,sys; s=float(sys.argv[2])-float(sys.argv[1]); mb=os.path.getsize(sys.argv[3])/1e6; print(f'cat        : {s:.3f} s  {mb/s:.0f} MB/s')" "$start" "$end" "$file"
cd "$work" && ZORERO= "$build/bench/scratch_bench" "$file"
