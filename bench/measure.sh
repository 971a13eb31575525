# Shared by the benchmark scripts, sourced after $work, $runs and $bytes are set.
# measure LABEL COMMAND...: the best of $runs runs under /usr/bin/time -v
# (the least wall-clock and CPU time, the largest peak memory).
measure() {
  label=$1
  shift
  run=1
  while [ "$run" -le "$runs" ]; do
    /usr/bin/time -v -o "$work/time.$run" "$@" >"$work/stdout.txt"
    run=$((run + 1))
  done
  awk -v label="$label" -v bytes="$bytes" '
    FNR == 1 { cpu = 0 }
    /Elapsed \(wall clock\) time/ {
      n = split($NF, part, ":"); wall = 0
      for (i = 1; i <= n; i++) wall = wall * 60 + part[i]
      if (best_wall == "" || wall < best_wall) best_wall = wall
    }
    /User time \(seconds\)/ || /System time \(seconds\)/ { cpu += $NF }
    /Exit status/ { if (best_cpu == "" || cpu < best_cpu) best_cpu = cpu }
    /Maximum resident set size/ { if ($NF > rss_kb) rss_kb = $NF }
    END {
      printf "%-26s %7.1f MB/s (%.2f s wall)  %7.1f MB/s of CPU (%.2f s)  peak RSS %6.1f MB\n",
             label, bytes / 1e6 / best_wall, best_wall, bytes / 1e6 / best_cpu, best_cpu, rss_kb / 1024
    }' "$work"/time.*
  rm -f "$work"/time.*
}
