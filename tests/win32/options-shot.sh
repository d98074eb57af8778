#!/bin/sh
# The options window of the real VLMR.exe on the X screen, opened from the
# configurator's system menu over stored options: its client area is
# 320 x 204 and the JPEG box shows its mark. Keeps the picture, window
# frame included, in docs/.
# Usage: options-shot.sh ConfiguratorShotDriver.exe VLMR.exe OUT.png
# Runs inside the Wine prefix and the display of run-under-wine.sh.
set -eu
driver=$1 exe=$2 out=$3
. "$(dirname "$0")/wine-session.sh"
draw_window_frames

mkdir "$work/app"
cp "$exe" "$work/app/VLMR.exe"
printf '[Options]\r\nTypes=.JPG .JPEG\r\nProportions=Fill\r\n' > "$work/app/Config.ini"
wine "$work/app/VLMR.exe" Config &
vlmr=$!
rect=$(wine "$driver" options) || fail "no options window"
set -- $(printf '%s' "$rect" | tr -d '\r')
x=$1 y=$2 width=$3 height=$4 cx=$5 cy=$6 cwidth=$7 cheight=$8
[ "$cwidth x $cheight" = "320 x 204" ] || fail "client area is $cwidth x $cheight, not 320 x 204"

sleep 1  # let every control finish painting
grab_screen

# The JPEG box's mark: dark inside the box (frame 8,8 + box 8,24, the box
# 13 pixels high in the middle of the 17, the mark inside its 2 pixel edge).
mark=$(/usr/bin/convert "$work/screen.png" -crop "9x9+$(($cx + 18))+$(($cy + 36))" +repage \
  -colorspace Gray -format '%[fx:minima < 0.4]' info:)
[ "$mark" = "1" ] || fail "the JPEG box shows no mark"

keep_shot 8 "$x" "$y" "$width" "$height" "$out"

wine "$driver" close || fail "could not close the configurator"
await_end
echo "options-shot: client 320 x 204 at $cx,$cy, JPEG marked; saved $out"
