#!/bin/sh
# The configurator window of the real VLMR.exe on the X screen: its client
# area is 362 x 107, the two picture buttons show their pictures and the
# credit is navy. Keeps the picture, window frame included, in docs/.
# Usage: configurator-shot.sh ConfiguratorShotDriver.exe VLMR.exe OUT.png
# Runs inside the Wine prefix and the display of run-under-wine.sh.
set -eu
driver=$1 exe=$2 out=$3
. "$(dirname "$0")/wine-session.sh"
draw_window_frames

mkdir "$work/app"
cp "$exe" "$work/app/VLMR.exe"
wine "$work/app/VLMR.exe" Config &
vlmr=$!
rect=$(wine "$driver" show) || fail "no configurator window"
set -- $(printf '%s' "$rect" | tr -d '\r')
x=$1 y=$2 width=$3 height=$4 cx=$5 cy=$6 cwidth=$7 cheight=$8
[ "$cwidth x $cheight" = "362 x 107" ] || fail "client area is $cwidth x $cheight, not 362 x 107"

sleep 1  # let every control finish painting
grab_screen

pixel() {  # client x, client y -> colour as srgb(r,g,b)
  /usr/bin/convert "$work/screen.png" -format "%[pixel:p{$(($cx + $1)),$(($cy + $2))}]" info:
}
# The floppy's dark outline one pixel into the Save picture (frame 8,8 + button 280,40 + border 1).
[ "$(pixel 290 50)" = "srgb(15,42,92)" ] || fail "no Save picture on screen (got $(pixel 290 50))"
# The folder's brown outline in the Open picture (8,8 + 312,40 + 1 + 2,6).
[ "$(pixel 323 55)" = "srgb(122,82,0)" ] || fail "no Open picture on screen (got $(pixel 323 55))"
navy=$(/usr/bin/convert "$work/screen.png" -crop "73x17+$(($cx + 280))+$(($cy + 88))" +repage \
  -fill white +opaque "srgb(0,0,128)" -fill black -opaque "srgb(0,0,128)" -format '%[fx:mean < 1]' info:)
[ "$navy" = "1" ] || fail "the credit has no navy text"

keep_shot 8 "$x" "$y" "$width" "$height" "$out"

wine "$driver" close || fail "could not close the configurator"
await_end
echo "configurator-shot: client 362 x 107 at $cx,$cy, pictures and credit on screen; saved $out"
