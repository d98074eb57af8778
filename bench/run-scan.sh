#!/usr/bin/env bash
# Times the image scan against `find DIR -iname '*.bmp'` on generated trees
# of 10 000, 100 000 and 200 000 files, both on a warm cache in the same run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --target scan_bench >/dev/null
bench=build/linux-release/bench/scan_bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
median_find_ms() {  # median of five runs of find, in milliseconds
  local dir=$1 times=()
  for _ in 1 2 3 4 5; do
    local t0 t1
    t0=$(date +%s%N); find "$dir" -iname '*.bmp' >/dev/null; t1=$(date +%s%N)
    times+=($(( (t1 - t0) / 1000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n 3p | awk '{ printf "%.2f", $1 / 1000 }'
}
printf '%10s %10s %12s %12s %10s\n' files images scan_ms find_ms scan/find
declare -A scan_ms
for n in 10000 100000 200000; do
  tree="$work/tree-$n"
  python3 bench/make_tree.py "$tree" "$n"
  find "$tree" >/dev/null  # warm the cache for both
  out=$("$bench" "$tree" 5)
  images=$(sed -E 's/.*images=([0-9]+).*/\1/' <<<"$out")
  ms=$(sed -E 's/.*median_ms=([0-9.]+).*/\1/' <<<"$out")
  scan_ms[$n]=$ms
  fms=$(median_find_ms "$tree")
  awk -v n="$n" -v i="$images" -v s="$ms" -v f="$fms" 'BEGIN { printf "%10d %10d %12.2f %12.2f %10.2f\n", n, i, s, f, s / f }'
done
awk -v a="${scan_ms[100000]}" -v b="${scan_ms[200000]}" 'BEGIN { printf "200 000 files took %.2f times as long as 100 000\n", b / a }'
