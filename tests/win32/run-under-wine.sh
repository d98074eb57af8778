#!/bin/sh
# Runs ctest for the Windows build inside a throwaway Wine prefix with one
# persistent wineserver and a private Xvfb display, then tears all of it down.
# Usage: run-under-wine.sh [ctest arguments...]   (from the Windows build folder)
set -eu

work=$(mktemp -d "${TMPDIR:-/tmp}/vlmr-wine.XXXXXX")
xvfb=
teardown() {
  status=$?
  wineserver -k 2>/dev/null || true
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; fi
  rm -rf "$work"
  exit "$status"
}
trap teardown EXIT
trap 'exit 130' INT TERM

export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine and its helpers write below HOME and XDG_*: keep that in the throwaway folder.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# Xvfb names its display on fd 3 once it accepts clients.
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
  sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"

# Let wineboot's own wineserver finish the new prefix and exit before the
# persistent one starts: with -p first, RpcSs did not come up here and every
# first COM or desktop start waited 10 s for it.
wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; exit 1; }
wineserver -w
wineserver -p
# Start the system processes now: they keep the output of whoever starts them,
# and a test that did would never see its pipes close.
wineboot >>"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; exit 1; }
# No window manager runs on this display: without this Wine waits two seconds
# for one whenever a focused window is hidden or destroyed.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$work/wineboot.log" 2>&1

ctest "$@"
