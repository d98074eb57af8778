#!/usr/bin/env bash
# Redraws every picture in resources/ from its hand-made source:
#   resources/icon/velmora.svg      -> velmora-32/48/256.png, velmora.ico, logo.gif
#   resources/icon/velmora-16.xpm   -> velmora-16.png (pixel art)
#   resources/buttons/*.xpm         -> save/open .png (transparent) and .bmp (button grey)
#   the banner and the wallpaper's meadow are drawn here, with DejaVu Sans Bold.
# The build does not run this; the results are committed. Running it twice gives
# the same bytes.
# Needs (Debian): imagemagick, librsvg2-bin, fonts-dejavu-core, perl (always there).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh" draw
res="$root/resources"
# /usr/local/bin/convert may be a stand-in on development machines: use the real one.
CONVERT="${CONVERT:-/usr/bin/convert}"
RSVG="${RSVG:-rsvg-convert}"
FONT="${FONT:-/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf}"
BUTTON_FACE='#F0F0F0'   # COLOR_BTNFACE on current Windows

missing=()
[ -x "$CONVERT" ] || missing+=("imagemagick ($CONVERT)")
command -v "$RSVG" >/dev/null || missing+=("librsvg2-bin ($RSVG)")
[ -f "$FONT" ] || missing+=("fonts-dejavu-core ($FONT)")
command -v perl >/dev/null || missing+=("perl")
if [ ${#missing[@]} -gt 0 ]; then
  echo "draw-resources: missing: ${missing[*]}" >&2
  echo "draw-resources: apt-get install -y imagemagick librsvg2-bin fonts-dejavu-core" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

say() { echo "draw-resources: $*"; }

# ImageMagick stamps PNGs with dates; leave them out so redrawing changes nothing.
png() { "$CONVERT" "${@:1:$#-1}" -strip -define png:exclude-chunks=date,time "${@: -1}"; }

# --- the application icon -------------------------------------------------
icon="$res/icon"
say "icon: rendering $icon/velmora.svg at 256, 48 and 32 px"
"$RSVG" -w 256 -h 256 "$icon/velmora.svg" -o "$work/256.png"
"$RSVG" -w 48 -h 48 "$icon/velmora.svg" -o "$work/48.png"
# At 32 px the veins and dots only blur the wings, and thin antennae vanish.
cat >"$work/small.css" <<'CSS'
.detail { display: none; }
.antenna { stroke-width: 10px; }
CSS
"$RSVG" -s "$work/small.css" -w 32 -h 32 "$icon/velmora.svg" -o "$work/32.png"
for s in 256 48 32; do
  png "$work/$s.png" "PNG32:$icon/velmora-$s.png"
done
say "icon: 16 px from the pixel art $icon/velmora-16.xpm"
png "$icon/velmora-16.xpm" "PNG32:$icon/velmora-16.png"

# 24-bit entries have only an on/off mask: cut the soft edge at half opacity.
# The wings' dark outline is what remains at the edge, so it looks clean on any ground.
for s in 16 32; do
  "$CONVERT" "$icon/velmora-$s.png" -channel A -threshold 50% +channel -depth 8 "RGBA:$work/hard-$s.rgba"
done
for s in 16 32 48; do
  "$CONVERT" "$icon/velmora-$s.png" -depth 8 "RGBA:$work/soft-$s.rgba"
done

say "icon: $icon/velmora.ico (16, 32, 48 and 256 px)"
# ImageMagick writes every true-colour entry at 32 bits, so the file is put together here:
# 16 and 32 px at 32-bit (with alpha) and at 24-bit (with a mask), 48 px at 32-bit, 256 px PNG.
perl - "$icon/velmora.ico" \
  "16:32:$work/soft-16.rgba" "16:24:$work/hard-16.rgba" \
  "32:32:$work/soft-32.rgba" "32:24:$work/hard-32.rgba" \
  "48:32:$work/soft-48.rgba" "256:png:$icon/velmora-256.png" <<'PERL'
use strict; use warnings;
my ($out, @specs) = @ARGV;
sub slurp { my ($f) = @_; open my $h, '<:raw', $f or die "$f: $!"; local $/; my $d = <$h>; close $h; $d }
my @images;
for my $spec (@specs) {
  my ($size, $bits, $file) = split /:/, $spec, 3;
  my $data = slurp($file);
  if ($bits eq 'png') { push @images, [$size, 32, $data]; next; }
  die "$file: wrong size" unless length($data) == $size * $size * 4;
  my $xor_stride = int(($size * $bits / 8 + 3) / 4) * 4;
  my $and_stride = int((($size + 7) / 8 + 3) / 4) * 4;
  my ($xor, $and) = ('', '');
  for my $y (reverse 0 .. $size - 1) {          # DIB rows run bottom up
    my ($row, @mask) = ('', (0) x ($and_stride * 8));
    for my $x (0 .. $size - 1) {
      my ($r, $g, $b, $a) = unpack 'C4', substr($data, ($y * $size + $x) * 4, 4);
      my $clear = $a < 128;
      ($r, $g, $b) = (0, 0, 0) if $a == 0 || ($bits == 24 && $clear);
      $row .= $bits == 32 ? pack('C4', $b, $g, $r, $a) : pack('C3', $b, $g, $r);
      $mask[$x] = 1 if $clear;
    }
    $xor .= $row . ("\0" x ($xor_stride - length $row));
    $and .= pack('B*', join '', @mask);
  }
  my $header = pack 'VVVvvVVVVVV', 40, $size, 2 * $size, 1, $bits, 0, length($xor) + length($and), 0, 0, 0, 0;
  push @images, [$size, $bits, $header . $xor . $and];
}
my $offset = 6 + 16 * @images;
my ($dir, $body) = (pack('vvv', 0, 1, scalar @images), '');
for my $img (@images) {
  my ($size, $bits, $data) = @$img;
  $dir .= pack 'CCCCvvVV', $size % 256, $size % 256, 0, 0, 1, $bits, length $data, $offset;
  $offset += length $data;
  $body .= $data;
}
open my $h, '>:raw', $out or die "$out: $!";
print $h $dir, $body;
close $h or die "$out: $!";
PERL

# --- the banner: 245 x 32, "VELMORA" in blue capitals on a pale ground ----
say "banner: $res/banner.png and $res/banner.bmp (245 x 32, DejaVu Sans Bold)"
# 22 px gives DejaVu's capitals a height of exactly 16 px, so they sit on whole pixels.
"$CONVERT" -background none -fill '#1D4F9C' -font "$FONT" -pointsize 22 -density 72 \
  -kerning 6 label:VELMORA -trim +repage "$work/name.png"
# Centre the letters' ink, not the font's line box.
"$CONVERT" -size 245x32 gradient:'#F1F6FC'-'#DDE9F7' \
  -fill none -stroke '#B9CDE6' -draw 'line 0,31 244,31' \
  "$work/name.png" -gravity center -compose over -composite \
  -alpha off "$work/banner.png"
png "$work/banner.png" "PNG24:$res/banner.png"
"$CONVERT" "$work/banner.png" -alpha off -type TrueColor "BMP3:$res/banner.bmp"

# --- the picture buttons -----------------------------------------------------
for b in save open; do
  say "button: $res/buttons/$b.png (transparent) and $b.bmp (on $BUTTON_FACE)"
  png "$res/buttons/$b.xpm" "PNG32:$res/buttons/$b.png"
  "$CONVERT" "$res/buttons/$b.xpm" -background "$BUTTON_FACE" -flatten -alpha off \
    -type TrueColor "BMP3:$res/buttons/$b.bmp"
done

# --- the fallback wallpaper: the butterfly and its name in a meadow ------
say "wallpaper: $res/logo.gif (640 x 400)"
flower() { # centre x, centre y, petal colour: five petals round a yellow heart
  local x=$1 y=$2 d dx dy
  printf -- '-fill\n%s\n' "$3"
  for d in "0 -7" "7 -2" "4 6" "-4 6" "-7 -2"; do
    read -r dx dy <<<"$d"
    printf -- '-draw\ncircle %d,%d %d,%d\n' $((x + dx)) $((y + dy)) $((x + dx + 5)) $((y + dy))
  done
  printf -- '-fill\n#FFD21F\n-draw\ncircle %d,%d %d,%d\n' "$x" "$y" $((x + 4)) "$y"
}
mapfile -t flowers < <(flower 420 344 '#E8408F'; flower 470 366 '#FFFFFF'; flower 535 352 '#7A5CE0'
                       flower 596 374 '#5CB6F2'; flower 372 372 '#FFFFFF')
"$RSVG" -w 280 -h 280 "$icon/velmora.svg" -o "$work/butterfly.png"
"$CONVERT" -background none -fill '#1D4F9C' -font "$FONT" -pointsize 60 label:Velmora \
  -trim +repage "$work/title.png"
# Flat colours only: a GIF has 256 of them, and a gradient sky would band.
"$CONVERT" -size 640x400 xc:'#C4E6FB' \
  -fill white -draw 'ellipse 470,70 46,20 0,360' -draw 'ellipse 510,60 40,26 0,360' \
  -draw 'ellipse 548,74 38,16 0,360' -draw 'ellipse 120,56 36,14 0,360' \
  -draw 'ellipse 150,46 30,20 0,360' -draw 'ellipse 178,58 28,12 0,360' \
  -fill '#8CC866' -draw 'ellipse 120,470 420,150 0,360' \
  -fill '#6CB044' -draw 'ellipse 560,480 360,140 0,360' \
  -fill '#4F9A2A' -draw 'rectangle 0,384 640,400' -draw 'ellipse 320,420 400,44 0,360' \
  "${flowers[@]}" \
  "$work/butterfly.png" -geometry +24+118 -composite \
  "$work/title.png" -geometry +318+150 -composite \
  -alpha off "$work/logo.png"
"$CONVERT" "$work/logo.png" -dither None -colors 256 -strip "GIF:$res/logo.gif"

say "done"
