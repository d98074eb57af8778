#!/usr/bin/env bash
# Installs, from Debian's packages, whatever Velmora needs that this machine
# lacks. Safe to run again: it installs only what is missing.
# Usage: setup.sh build|test|draw
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=packages.sh
source "$here/packages.sh"

case "${1:-build}" in
  build) wanted=("${VELMORA_BUILD_PACKAGES[@]}" "${VELMORA_RUN_PACKAGES[@]}") ;;
  test) wanted=("${VELMORA_BUILD_PACKAGES[@]}" "${VELMORA_RUN_PACKAGES[@]}" "${VELMORA_TEST_PACKAGES[@]}") ;;
  draw) wanted=("${VELMORA_DRAW_PACKAGES[@]}") ;;
  *) echo "usage: setup.sh build|test|draw" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#wanted[@]} Debian packages are present"
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: run as root to install: ${missing[*]}" >&2; exit 1; }
  sudo=sudo
fi
echo "setup: installing ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
echo "setup: done"
