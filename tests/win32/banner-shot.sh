#!/bin/sh
# The banner window of the real VLMR.exe on the X screen: behind "Please
# Configure" it shows the banner bitmap at its top left and white below.
# Usage: banner-shot.sh BannerShotDriver.exe VLMR.exe logo.gif OUT.png
# Runs inside the Wine prefix and the display of run-under-wine.sh.
set -eu
driver=$1 exe=$2 logo=$3 out=$4
. "$(dirname "$0")/wine-session.sh"

# A fresh application folder without the installed marker.
mkdir "$work/app"
cp "$exe" "$work/app/VLMR.exe"
cp "$logo" "$work/app/logo.gif"
wine "$driver" extract-banner "$(winepath -w "$exe")" "$(winepath -w "$work/banner.bmp")" ||
  fail "the executable has no 245 x 32 banner bitmap"

wine "$work/app/VLMR.exe" &
vlmr=$!
rect=$(wine "$driver" show-banner) || fail "no banner behind \"Please Configure\""
set -- $(printf '%s' "$rect" | tr -d '\r')
x=$1 y=$2 width=$3 height=$4
[ "$width x $height" = "245 x 50" ] || fail "banner client area is $width x $height, not 245 x 50"

sleep 1  # the moved box uncovers the banner, which then repaints
grab_screen

/usr/bin/convert "$work/screen.png" -crop "245x32+$x+$y" +repage "$work/picture.png"
differing=$(/usr/bin/compare -metric AE "$work/banner.bmp" "$work/picture.png" null: 2>&1) || true
[ "$differing" = "0" ] || fail "the top 245 x 32 pixels differ from the banner bitmap in $differing pixels"

strip_y=$((y + 32))
white=$(/usr/bin/convert "$work/screen.png" -crop "245x18+$x+$strip_y" +repage \
  -fill black +opaque white -format '%[fx:mean]' info:)
[ "$white" = "1" ] || fail "the strip below the banner is not all white (mean $white)"

keep_shot 16 "$x" "$y" "$width" "$height" "$out"

wine "$driver" finish || fail "could not dismiss the box and close the configurator"
await_end
echo "banner-shot: 245 x 50 at $x,$y, picture matches, strip white; saved $out"
