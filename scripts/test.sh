#!/usr/bin/env bash
# Installs what building and testing need, then builds and runs every test:
# the linux-debug preset (core unit tests, Linux end-to-end tests under Xvfb)
# the linux-sanitize preset (core unit tests under ASan and UBSan, fuzz targets)
# the windows-release preset (core unit tests and VLMR.exe scenarios under Wine),
# then the release packages (the .deb installed and used, the installer under Wine).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh test

jobs=$(nproc 2>/dev/null || echo 2)
status=0

echo "test: building the linux-debug preset"
cmake --preset linux-debug -DVELMORA_BUILD_TESTS=ON >/dev/null
cmake --build --preset linux-debug -j "$jobs"
echo "test: running the linux-debug tests"
ctest --preset linux-debug -j "$jobs" || status=1

echo "test: building the linux-sanitize preset (the core with clang, ASan, UBSan and libFuzzer)"
cmake --preset linux-sanitize >/dev/null
cmake --build --preset linux-sanitize -j "$jobs"
echo "test: running the core's unit tests under the sanitizers and each fuzz target for a while"
ctest --preset linux-sanitize -j "$jobs" || status=1

echo "test: building the windows-release preset"
cmake --preset windows-release -DVELMORA_BUILD_TESTS=ON >/dev/null
cmake --build --preset windows-release -j "$jobs"
echo "test: running the windows-release tests under Wine"
bash tests/win32/run-under-wine.sh --preset windows-release || status=1

echo "test: building and checking the release packages"
bash tests/package/run.sh || status=1

if [ "$status" -eq 0 ]; then echo "test: all suites passed"; else echo "test: some tests failed"; fi
exit "$status"
