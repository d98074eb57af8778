#!/usr/bin/env bash
# The package tests: makes the release artifacts with scripts/release.sh
# (reusing build/linux-release and build/windows-release), then checks
#   - cmake --install of the Linux build (files, desktop entry, AppStream);
#   - the .deb: apt-get install as root, VLMR run by an unprivileged user
#     under a private Xvfb, apt-get remove (needs root);
#   - the Windows zip and the installer under Wine in a throwaway prefix.
# Usage: bash tests/package/run.sh   (VELMORA_BUILD_ROOT and VELMORA_DIST as
# for scripts/release.sh)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
here="$root/tests/package"
cd "$root"
bash scripts/setup.sh test
if ! bash scripts/release.sh; then
  echo "package: scripts/release.sh failed, nothing to test"
  echo "package: 0 passed, 1 failed"
  exit 1
fi
build_root=${VELMORA_BUILD_ROOT:-build}
dist=${VELMORA_DIST:-dist}

results=$(mktemp "${TMPDIR:-/tmp}/velmora-package-results.XXXXXX")
trap 'rm -f "$results"' EXIT
export PACKAGE_TEST_RESULTS="$results"
export PYTHONDONTWRITEBYTECODE=1  # no __pycache__ in the tree

deb=("$dist"/velmora_*.deb)
zip=("$dist"/velmora-*-win64.zip)
installer=("$dist"/velmora-*-win64-setup.exe)
status=0
python3 "$here/check_install_tree.py" "$root" "$build_root/linux-release" || status=1
python3 "$here/check_deb.py" "$root" "${deb[0]}" || status=1
python3 "$here/check_windows.py" "$root" "$build_root/windows-release" "${zip[0]}" "${installer[0]}" || status=1

passed=$(grep -c '^PASS' "$results" || true)
failed=$(grep -c '^FAIL' "$results" || true)
skipped=$(grep -c '^SKIP' "$results" || true)
echo "package: $passed passed, $failed failed, $skipped skipped"
exit "$status"
