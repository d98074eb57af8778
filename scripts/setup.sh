#!/usr/bin/env bash
# Installs, from Debian's packages, whatever Velmora needs that this machine
# lacks. Safe to run again: it installs only what is missing.
# Usage: setup.sh build|test|draw
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=packages.sh
source "$here/packages.sh"

case "${1:-build}" in
  build) wanted=("${VELMORA_BUILD_PACKAGES[@]}" "${VELMORA_RUN_PACKAGES[@]}")
         programs=("${VELMORA_BUILD_PROGRAMS[@]}") ;;
  test) wanted=("${VELMORA_BUILD_PACKAGES[@]}" "${VELMORA_RUN_PACKAGES[@]}" "${VELMORA_TEST_PACKAGES[@]}")
        programs=("${VELMORA_BUILD_PROGRAMS[@]}" "${VELMORA_TEST_PROGRAMS[@]}") ;;
  draw) wanted=("${VELMORA_DRAW_PACKAGES[@]}")
        programs=("${VELMORA_DRAW_PROGRAMS[@]}") ;;
  *) echo "usage: setup.sh build|test|draw" >&2; exit 2 ;;
esac

# An installed package is no proof: one whose library is only recommended, or
# a broken alternative, leaves a program that does not start. Each program
# is started once (or its libraries looked up); every one that fails is named.
prove_programs() {
  local entry program package call path output failed=0
  for entry in "${programs[@]}"; do
    read -r program package call <<<"$entry"
    if [ "$call" = ldd ]; then
      case "$program" in
        */*) path=$(compgen -G "$program" | head -n 1 || true) ;;
        *) path=$(command -v "$program" || true) ;;
      esac
      if [ -z "$path" ]; then
        output="it is not installed"
      else
        output=$(LC_ALL=C ldd "$path" 2>&1 | awk '/not found/ { printf "%s%s not found", sep, $1; sep = ", " }')
      fi
    elif output=$(timeout 20 bash -c "${call:-$program --version}" </dev/null 2>&1 >/dev/null); then
      output=""
    else
      output="exit $?${output:+: ${output##*$'\n'}}"
    fi
    if [ -n "$output" ]; then
      echo "setup: $program (Debian package $package) does not run: $output" >&2
      failed=$((failed + 1))
    fi
  done
  if [ "$failed" -ne 0 ]; then
    echo "setup: $failed of the ${#programs[@]} programs that $1 needs do not run (see above)" >&2
    exit 1
  fi
  echo "setup: the ${#programs[@]} programs that $1 needs all run"
}

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#wanted[@]} Debian packages are present"
  prove_programs "${1:-build}"
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
prove_programs "${1:-build}"
