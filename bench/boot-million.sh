#!/usr/bin/env bash
# Times the whole boot run on a 1,000,000-line IPaths.dat against shuf -n 1 on
# the same file, and compares VLMR's peak memory with the file's size.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/release-build.sh"
exec python3 "$root/bench/process_bench.py" million
