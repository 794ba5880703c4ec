#!/usr/bin/env bash
# Draws the bitmaps of the pages (the header pictures, the help and patrol-status picture
# buttons) and the default program icon with ImageMagick, in the style of the tab icons
# (icons/make_icons.sh): simple shapes, a dark outline, white glyphs. The bitmaps are written
# as 24-bit BMP3 files, which windres takes; the files are kept in the repository, so run this
# again only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The face colour of a dialog page: the pictures are square tiles on it, so their corners
# blend in with the page.
page='#f0f0f0'
outline='#20304a'

bmp() {  # bmp <output.bmp> <convert arguments...>: a 24-bit BMP3 without an alpha channel
  local out=$1
  shift
  convert "$@" -background "$page" -alpha remove -alpha off -type TrueColor "BMP3:$out"
}

# The help picture button (24 x 24): a round button with a question mark; lighter while the
# mouse is over it, darker and one pixel lower while it is pressed.
# The glyph is the question mark of DejaVu Sans Bold (Debian's fonts-dejavu-core).
glyph_font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
help_button() {
  local out=$1 fill=$2 ring=$3 dx=$4
  bmp "$out" -size 24x24 "xc:$page" \
    -fill "$ring" -stroke none -draw "circle 12,12 12,0.5" \
    -fill "$fill" -stroke "$outline" -strokewidth 1 -draw "circle 12,12 12,1.5" \
    -font "$glyph_font" -pointsize 16 -fill white -stroke none -gravity center \
    -annotate "+$dx+$((dx + 1))" '?'
}
help_button help_normal.bmp '#2f6fd0' "$page" 0
help_button help_hover.bmp '#4f92f0' '#bcd6fa' 0
help_button help_pressed.bmp '#1f4f9c' "$page" 1

# The patrol-status picture button (24 x 24): a clock, the patrol of a watched category.
# Off: grey with a red stroke through it; on: green; hover and pressed: orange; real-time
# watch: green with an open eye in place of the hands.
clock_face() {  # clock_face <fill>: the round dial with its four hour marks
  echo "-fill '$1' -stroke '$outline' -strokewidth 1 -draw 'circle 12,12 12,1.5'" \
       "-stroke white -strokewidth 2 -draw 'line 12,4 12,6 line 12,18 12,20 line 4,12 6,12 line 18,12 20,12'"
}
hands="-stroke white -strokewidth 2.2 -draw 'line 12,12 12,7.5 line 12,12 16,14'"
eval bmp patrol_off.bmp -size 24x24 "xc:$page" "$(clock_face '#8a939e')" "$hands" \
  "-stroke '#d23a2e' -strokewidth 2.6 -draw 'line 5,19 19,5'"
eval bmp patrol_on.bmp -size 24x24 "xc:$page" "$(clock_face '#2e9a4a')" "$hands"
eval bmp patrol_hover.bmp -size 24x24 "xc:$page" "$(clock_face '#e08a1e')" "$hands"
eval bmp realtime.bmp -size 24x24 "xc:$page" "$(clock_face '#2e9a4a')" \
  "-fill white -stroke none -draw 'ellipse 12,12 7.5,4.6 0,360'" \
  "-fill '$outline' -draw 'circle 12,12 12,9.2'" \
  "-fill white -draw 'circle 13,11 13,10.2'"

# The header pictures (60 x 68, a 60-pixel tile with a margin above and below, so the page's
# title and its two explanatory lines fit beside it): the watch dog's shield on a rounded
# blue tile, as in the program icon. The list pages show the plain shield, the PLUS page the shield with a plus,
# the Options page the shield with a tick.
shield="path 'M 30,9 L 47,14 L 45.5,32 Q 42,44 30,51 Q 18,44 14.5,32 L 13,14 Z'"
header() {
  local out=$1 glyph=$2
  convert -size 60x60 gradient:'#4f8fe8-#1f55b0' \
    \( -size 60x60 xc:black -fill white -draw "roundrectangle 1,1 58,58 10,10" \) \
    -alpha off -compose CopyOpacity -composite "$tmp/tile.png"
  bmp "$out" -size 60x60 "xc:$page" "$tmp/tile.png" -composite \
    -fill none -stroke "$outline" -strokewidth 1 -draw "roundrectangle 1,1 58,58 10,10" \
    -fill white -stroke '#c8dafc' -strokewidth 1 -draw "$shield" \
    -draw "$glyph" -background "$page" -gravity center -extent 60x68
}
header header_pages.bmp "fill '#2f6fd0' stroke none path 'M 30,14 L 42.5,17.8 L 41.3,31.5 Q 38.6,40.5 30,45.8 Z'"
header header_plus.bmp "fill '#2e9a4a' stroke none rectangle 27,20 33,42 rectangle 19,28 41,34"
header header_options.bmp "fill none stroke '#2e9a4a' stroke-width 5 stroke-linecap round stroke-linejoin round polyline 20,30 27,37 40,22"

# The default program icon of the list rows (16 and 32 pixels): a plain application window
# with a blue title bar, for programs whose files have no icon of their own.
convert -size 32x32 xc:none \
  -fill white -stroke "$outline" -strokewidth 1 -draw "rectangle 2.5,4.5 29.5,27.5" \
  -fill '#2f6fd0' -stroke none -draw "rectangle 3,5 29,10" \
  -fill white -draw "rectangle 24,6.5 27,8.5" \
  -fill '#c5ccd6' -draw "rectangle 6,14 25,15 rectangle 6,18 21,19 rectangle 6,22 23,23" \
  "$tmp/app-32.png"
convert "$tmp/app-32.png" -filter Lanczos -resize 16x16 "$tmp/app-16.png"
convert "$tmp/app-32.png" "$tmp/app-16.png" ../icons/application.ico
