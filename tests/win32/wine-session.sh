# Sourced by the scripts that drive the real VLMR.exe inside the Wine prefix
# and display of run-under-wine.sh: a scratch folder `work`, the program's
# pid in `vlmr` once started, both gone on exit (with whatever the script
# puts in `undo`), and fail(), which names the script.
: "${DISPLAY:?needs the X display of run-under-wine.sh}" "${WINEPREFIX:?needs the Wine prefix of run-under-wine.sh}"
script=$(basename "$0" .sh)
work=$(mktemp -d)
vlmr=
undo=
cleanup() {
  if [ -n "$vlmr" ] && kill -0 "$vlmr" 2>/dev/null; then kill "$vlmr"; fi
  if [ -n "$undo" ]; then eval "$undo"; fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP  # so that a stop still runs the cleanup
fail() { echo "$script: $*" >&2; exit 1; }
