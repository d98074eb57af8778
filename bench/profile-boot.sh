#!/usr/bin/env bash
# Profiles one boot run (Stretch, a 1920x1080 BMP, X11 root): instructions per
# function under callgrind, and wall-clock phases from strace -ttt -f.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/release-build.sh"
exec python3 "$root/bench/profile_boot.py"
