#!/usr/bin/env bash
# Makes every release artifact into dist/:
#   velmora_<version>_amd64.deb          Debian/Ubuntu package (linux-release)
#   velmora-<version>-win64.zip          portable Windows folder (windows-release)
#   velmora-<version>-win64-setup.exe    per-user Windows installer (NSIS)
#   SHA256SUMS
# Builds only VLMR in the two release presets, then runs CPack in each
# (cmake/VelmoraPackage.cmake says how). Installs missing Debian packages first.
# Usage: bash scripts/release.sh
# VELMORA_BUILD_ROOT (default build) and VELMORA_DIST (default dist) move the
# build folders and the output elsewhere.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh build

jobs=$(nproc 2>/dev/null || echo 2)
build_root=${VELMORA_BUILD_ROOT:-build}
dist=${VELMORA_DIST:-dist}
for preset in linux-release windows-release; do
  build="$build_root/$preset"
  options=()
  # A release needs no tests; a build folder that exists keeps its own choice.
  [ -f "$build/CMakeCache.txt" ] || options+=(-DVELMORA_BUILD_TESTS=OFF)
  echo "release: building VLMR in the $preset preset"
  cmake --preset "$preset" -B "$build" "${options[@]}" >/dev/null
  cmake --build "$build" --target VLMR -j "$jobs"
  echo "release: packing $preset"
  rm -rf "$build/packages"
  cpack --config "$build/CPackConfig.cmake" -B "$build/packages" >"$build/cpack.log" 2>&1 ||
    { cat "$build/cpack.log" >&2; echo "release: cpack failed in $build" >&2; exit 1; }
done

rm -rf "$dist"
mkdir -p "$dist"
cp "$build_root"/linux-release/packages/velmora_*.deb \
   "$build_root"/windows-release/packages/velmora-*-win64.zip \
   "$build_root"/windows-release/packages/velmora-*-win64-setup.exe "$dist"/
(cd "$dist" && sha256sum -- * >SHA256SUMS)
echo "release: $dist holds"
ls -l "$dist"
