#!/usr/bin/env bash
# Times the whole boot run (spawn to exit) setting the X root window's pixmap
# on Xvfb 1920x1080x24: Stretch, Center and Tile of a 1080p BMP, a 2160p BMP
# stretched, and a list entry that names no file.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/release-build.sh"
exec python3 "$root/bench/process_bench.py" wallpaper
