#!/usr/bin/env bash
# Times the configurator's save on trees of 100,000 and 200,000 files (one in
# ten a bitmap), from the click on the disk to the map of the count box,
# against find -iname '*.bmp' on the same warm tree.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/release-build.sh"
exec python3 "$root/bench/process_bench.py" save
