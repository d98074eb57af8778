#!/bin/sh
# The save into a folder that cannot be written, driven by the scenario
# SaveIntoReadOnlyMount. Root writes into a folder of any mode, so the folder
# is a read-only bind mount, made here because a program inside Wine cannot
# mount; it is undone on every way out, and the scenario gets a time limit
# below ctest's so that this script always lives to undo it.
# Usage: read-only-save.sh win32_scenarios.exe   (as root, inside the Wine
# prefix and display of run-under-wine.sh)
set -eu
scenarios=$1
. "$(dirname "$0")/wine-session.sh"
[ "$(id -u)" = 0 ] || fail "a bind mount needs root"

folder="$work/read-only"
mkdir "$folder"
printf 'BM' > "$folder/red.bmp"
mount --bind "$folder" "$folder" || fail "cannot bind-mount $folder (needs root with CAP_SYS_ADMIN)"
undo="umount '$folder' || umount -l '$folder'"
mount -o remount,ro,bind "$folder" || fail "cannot make the mount $folder read-only"
if touch "$folder/probe" 2>/dev/null; then fail "root still writes into the read-only mount"; fi

status=0
VLMR_READ_ONLY_FOLDER="$folder" timeout 240 wine "$scenarios" --gtest_filter='SaveIntoReadOnlyMount.*' \
  >"$work/out" 2>&1 || status=$?
cat "$work/out"
[ "$status" = 0 ] || fail "the scenario failed ($status)"
grep -q '^\[  PASSED  \] 1 test' "$work/out" || fail "the scenario did not run"
