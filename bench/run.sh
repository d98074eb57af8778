#!/usr/bin/env bash
# Builds the release preset's benchmarks and times the boot run on image
# lists of 10 to 1 000 000 lines (about 49 bytes a line, CR LF).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --target boot_run_bench >/dev/null
bench=build/linux-release/bench/boot_run_bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%10s %10s %12s %12s %14s\n' lines file_MB median_ms peak_MB peak/file
for n in 10 10000 100000 1000000; do
  app="$work/app-$n"
  mkdir -p "$app"
  printf '07/12/2026\r\n' >"$app/Installed"
  printf '[VLMR]\r\nStyle=Stretch\r\n' >"$app/Config.ini"
  awk -v n="$n" 'BEGIN { for (i = 0; i < n; i++) printf "/home/user/Pictures/holidays/2026/img_%08d.bmp\r\n", i }' >"$app/IPaths.dat"
  bytes=$(stat -c %s "$app/IPaths.dat")
  out=$("$bench" "$app" 7)
  median=$(sed -E 's/.*median_ms=([0-9.]+).*/\1/' <<<"$out")
  peak_kb=$(sed -E 's/.*peak_rss_kb=([0-9]+).*/\1/' <<<"$out")
  awk -v n="$n" -v b="$bytes" -v m="$median" -v p="$peak_kb" \
    'BEGIN { printf "%10d %10.1f %12.2f %12.1f %14.2f\n", n, b/1048576, m, p/1024, (p*1024)/b }'
done
