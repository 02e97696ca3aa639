#!/bin/sh
# Compares the kernels of the working tree with those of another revision,
# in one run on this machine:
#   bench-compare.sh BASE [ROUNDS] [FILTER]
# builds the benchmark of BASE (any git revision) and of the working tree,
# then runs the two in turn ROUNDS times (default 5) on the benchmarks that
# match FILTER (a Google Benchmark regular expression; default every kernel
# on every instruction set) and prints, per benchmark, the shortest time of
# each and their ratio.  Taking turns, in alternating order, puts both
# under the same load, so the ratio is the figure to read on a busy
# machine; the times are processor time, not wall-clock time, and the
# shortest of the rounds, since other programs on the machine only ever add
# to a time.
set -eu
base=$1
rounds=${2:-5}
filter=${3:-/kernel/}
top=$(git rev-parse --show-toplevel)
work=${BENCH_COMPARE_DIR:-$top/build-compare}
jobs=$(nproc 2>/dev/null || echo 2)

build() {  # source folder, build folder
  cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DPROXKIT_BENCH=ON -DPROXKIT_TESTS=OFF \
    -DPROXKIT_SANITIZE=OFF -DPROXKIT_OCTAVE=OFF >"$2.log" 2>&1 &&
    cmake --build "$2" -j "$jobs" --target proxkit_bench >>"$2.log" 2>&1 ||
    { tail -n 30 "$2.log" >&2; exit 1; }
}

rm -rf "$work/base-source" && mkdir -p "$work/base-source"
git -C "$top" archive "$base" | tar -x -C "$work/base-source"
echo "bench-compare: building $base and the working tree"
build "$work/base-source" "$work/base"
build "$top" "$work/tree"

: >"$work/times"
round=1
while [ "$round" -le "$rounds" ]; do
  # Each round in the other order: the second run of a pair can find the
  # machine in another state (its caches, its clock) than the first.
  sides="base tree"
  [ $((round % 2)) -eq 0 ] && sides="tree base"
  for side in $sides; do
    "$work/$side/bench/proxkit_bench" --benchmark_filter="$filter" --benchmark_out="$work/$side.csv" \
      --benchmark_out_format=csv >/dev/null 2>"$work/$side.err" || { cat "$work/$side.err" >&2; exit 1; }
    # name,iterations,real_time,cpu_time,...: the processor time of this
    # round, in ms, which leaves out the time other programs took the core.
    awk -F, -v side="$side" '/^"/ { gsub(/"/, "", $1); print side, $1, $4 }' "$work/$side.csv" >>"$work/times"
  done
  echo "bench-compare: round $round of $rounds done"
  round=$((round + 1))
done

printf '\n%-34s %10s %10s %9s\n' "benchmark (shortest of $rounds)" "base ms" "tree ms" "tree/base"
sort -k2,2 -k1,1 -k3,3g "$work/times" | awk '
  $2 != name { flush(); name = $2; shortest["base"] = ""; shortest["tree"] = "" }
  shortest[$1] == "" { shortest[$1] = $3 }
  function flush() {
    if (name != "") printf "%-34s %10.2f %10.2f %9.3f\n", name, shortest["base"], shortest["tree"], shortest["tree"] / shortest["base"]
  }
  END { flush() }'
echo "base: $base"
