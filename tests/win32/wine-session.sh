# Sourced by the scripts that drive the real VLMR.exe inside the Wine prefix
# and display of run-under-wine.sh: a scratch folder `work`, the program's
# pid in `vlmr` once started, both gone on exit (with whatever the script
# puts in `undo`), fail(), which names the script, and the steps of a
# screenshot script: grab the screen, keep part of it, await the end.
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

# The whole X screen as $work/screen.png.
grab_screen() {
  xwd -root -silent > "$work/screen.xwd"
  /usr/bin/convert "$work/screen.xwd" "$work/screen.png"
}

# keep_shot MARGIN X Y WIDTH HEIGHT OUT: the rectangle with a margin of the
# screen around it, without time stamps, so an unchanged window leaves the
# file unchanged.
keep_shot() {
  /usr/bin/convert "$work/screen.png" \
    -crop "$(($4 + 2 * $1))x$(($5 + 2 * $1))+$(($2 - $1))+$(($3 - $1))" +repage \
    -strip -define png:exclude-chunks=date,time "$6"
}

# The program, asked to close, ends within 30 s.
await_end() {
  for _ in $(seq 100); do
    kill -0 "$vlmr" 2>/dev/null || break
    sleep 0.3
  done
  kill -0 "$vlmr" 2>/dev/null && fail "the program did not end when the configurator was closed"
  wait "$vlmr" || true
  vlmr=
}

# Without a window manager Wine draws the title bar itself only when asked;
# the request is taken back on exit.
draw_window_frames() {
  x11key='HKCU\Software\Wine\X11 Driver'
  undo='wine reg delete "$x11key" /v Decorated /f >/dev/null 2>&1 || true'
  wine reg add "$x11key" /v Decorated /d N /f >/dev/null 2>&1 || fail "cannot ask Wine to draw window frames"
}
