#!/usr/bin/env bash
# Draws the program icon and the tab icons (32x32, scaled to 16x16) with ImageMagick and
# writes them as two-size .ico files beside this script. The .ico files are kept in the
# repository; run this again only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Every icon: a rounded tile in the tab's colour with a white glyph drawn on 32x32.
icon() {
  local name=$1 colour=$2 glyph=$3
  convert -size 32x32 xc:none \
    -fill "$colour" -stroke '#20304a' -strokewidth 1 -draw "roundrectangle 1,1 30,30 6,6" \
    -fill white -stroke white -strokewidth 1 -draw "$glyph" \
    "$tmp/$name-32.png"
  convert "$tmp/$name-32.png" -filter Lanczos -resize 16x16 "$tmp/$name-16.png"
  convert "$tmp/$name-32.png" "$tmp/$name-16.png" "$name.ico"
}

# program: a shield
icon tallowick '#2f6fd0' "path 'M 16,5 L 25,8 L 24,18 Q 22,24 16,27 Q 10,24 8,18 L 7,8 Z'"
# startup programs: a start arrow
icon startup '#2e9a4a' "polygon 11,8 24,16 11,24"
# delayed start: a clock
icon delayed '#e08a1e' "fill none stroke white stroke-width 3 circle 16,16 16,7 line 16,16 16,10 line 16,16 21,18"
# IE helpers: a globe
icon iehelpers '#2b86c9' "fill none stroke white stroke-width 2 circle 16,16 16,6 ellipse 16,16 4,10 0,360 line 6,16 26,16"
# scheduled tasks: a calendar page
icon tasks '#8a5cc2' "rectangle 8,9 24,24 fill '#8a5cc2' stroke '#8a5cc2' rectangle 10,15 13,17 rectangle 15,15 18,17 rectangle 20,15 22,17 rectangle 10,19 13,21 rectangle 15,19 18,21"
# services: a gear
icon services '#5d6b7a' "fill none stroke white stroke-width 3 circle 16,16 16,10 stroke-width 4 line 16,5 16,8 line 16,24 16,27 line 5,16 8,16 line 24,16 27,16 line 8,8 10,10 line 22,22 24,24 line 8,24 10,22 line 22,10 24,8"
# active tasks: a window with activity bars
icon active '#1f9e9e' "fill none stroke white stroke-width 2 rectangle 7,8 25,24 fill white line 7,12 25,12 rectangle 10,19 12,21 rectangle 14,16 16,21 rectangle 18,14 20,21"
# cookies: a cookie with chips
icon cookies '#b5762f' "fill '#f1d3a0' stroke '#f1d3a0' circle 16,16 16,7 fill '#5a3312' stroke '#5a3312' circle 12,13 12,14.5 circle 19,12 19,13.5 circle 18,19 18,20.5 circle 12,20 12,21.5"
# file types: a document with a folded corner
icon filetypes '#3f7fbf' "polygon 10,6 19,6 23,10 23,26 10,26 fill '#3f7fbf' stroke '#3f7fbf' line 12,14 20,14 line 12,18 20,18 line 12,22 18,22"
# hidden files: a dashed document
icon hidden '#6e6e6e' "fill none stroke white stroke-width 2 stroke-dasharray 3 2 rectangle 10,6 22,26"
# recent: a star
icon recent '#d6a117' "polygon 16,5 19,13 27,13 21,18 23,26 16,21 9,26 11,18 5,13 13,13"
# ActiveX: a puzzle piece
icon activex '#b0384a' "rectangle 8,12 22,25 circle 15,10 15,13 circle 24,18 24,21"
# registry monitoring: stacked blocks
icon registry '#3462a8' "rectangle 7,18 14,25 rectangle 17,18 24,25 rectangle 12,8 19,15"
# PLUS (about): a plus sign
icon plus '#2e9a4a' "rectangle 14,7 18,25 rectangle 7,14 25,18"
# options: a check box with a tick
icon options '#4a5a9a' "fill none stroke white stroke-width 2 rectangle 8,8 24,24 stroke-width 3 polyline 11,16 15,20 22,11"
# a program without an icon of its own: a plain window
icon program '#7d8896' "fill none stroke white stroke-width 2 rectangle 7,8 25,24 fill white line 7,12 25,12"
