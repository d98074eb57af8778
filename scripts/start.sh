#!/usr/bin/env bash
# Installs what the build needs, builds the Linux and Windows releases and
# starts the Linux one (VLMR.exe runs under Wine: wine build/windows-release/VLMR.exe).
# Arguments go to the program ("Config" opens the configurator).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh build
# Only VLMR is built. A build folder that exists keeps its own choice of
# tests, so that running the tests afterwards (or before) rebuilds nothing.
configure() {
  local options=()
  [ -f "build/$1/CMakeCache.txt" ] || options+=(-DVELMORA_BUILD_TESTS=OFF)
  cmake --preset "$1" "${options[@]}" >/dev/null
}
echo "start: building the linux-release preset"
configure linux-release
cmake --build --preset linux-release --target VLMR
echo "start: building the windows-release preset (VLMR.exe)"
configure windows-release
cmake --build --preset windows-release --target VLMR
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "start: no display to show Velmora on (DISPLAY and WAYLAND_DISPLAY are unset); built build/linux-release/VLMR"
  exit 0
fi
echo "start: running build/linux-release/VLMR $*"
exec build/linux-release/VLMR "$@"
