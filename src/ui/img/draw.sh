#!/usr/bin/env bash
# Draws the tool-bar and status icons (48 × 48, transparent). Run once; the PNGs are committed.
set -euo pipefail
convert() { /usr/bin/convert "$@"; }
cd "$(dirname "$0")"
S="-size 48x48 xc:none -strokewidth 3"

chip() {  # chip body with pins, then extra drawing
  convert $S -fill '#3a3f4b' -stroke '#3a3f4b' -draw "roundrectangle 12,14 36,40 3,3" \
    -stroke '#9aa0aa' -strokewidth 2 \
    -draw "line 8,19 12,19" -draw "line 8,26 12,26" -draw "line 8,33 12,33" \
    -draw "line 36,19 40,19" -draw "line 36,26 40,26" -draw "line 36,33 40,33" \
    "$@"
}

convert $S -fill '#f2c14e' -stroke '#b5862a' -draw "polygon 4,14 18,14 22,18 44,18 44,40 4,40" \
  -fill '#f7d87c' -draw "polygon 4,40 10,24 46,24 40,40" open_file.png
convert $S -fill '#2f6db5' -stroke '#1f4a7c' -draw "roundrectangle 6,6 42,42 3,3" \
  -fill '#ffffff' -stroke none -draw "rectangle 13,8 35,20" -fill '#d0d6de' -draw "rectangle 14,28 34,40" save.png
chip -stroke '#1e9e4a' -strokewidth 4 -fill none -draw "line 24,2 24,12" -draw "polyline 18,7 24,13 30,7" down_chip.png
chip -stroke '#2f6db5' -strokewidth 4 -fill none -draw "line 24,2 24,12" -draw "polyline 18,7 24,1 30,7" up_chip.png
chip -stroke '#d9412b' -strokewidth 4 -draw "line 16,18 32,36" -draw "line 32,18 16,36" erase_chip.png
chip -stroke '#ffffff' -strokewidth 3 -fill none -draw "circle 24,27 24,20" -stroke '#f2c14e' -draw "line 29,32 35,38" check_blank.png
convert $S -fill '#5b6270' -stroke '#3a3f4b' -draw "roundrectangle 10,24 38,44 3,3" \
  -stroke '#1e9e4a' -strokewidth 5 -fill none -draw "line 24,2 24,18" -draw "polyline 16,11 24,19 32,11" download_64px.png
convert $S -fill '#5b6270' -stroke '#3a3f4b' -draw "roundrectangle 10,24 38,44 3,3" \
  -stroke '#2f6db5' -strokewidth 5 -fill none -draw "line 24,4 24,20" -draw "polyline 16,11 24,3 32,11" up_link.png
convert $S -stroke '#1e9e4a' -strokewidth 5 -fill none -draw "arc 8,8 40,40 200,500" \
  -fill '#1e9e4a' -stroke none -draw "polygon 30,2 42,12 28,16" update.png
convert $S -fill '#5b6270' -stroke '#3a3f4b' -draw "roundrectangle 6,18 42,42 3,3" \
  -stroke '#d9412b' -strokewidth 5 -draw "line 16,4 32,16" -draw "line 32,4 16,16" erase_link.png
convert $S -fill '#ffffff' -stroke '#3a3f4b' -draw "roundrectangle 6,6 42,42 3,3" \
  -stroke none -fill '#2f6db5' -font DejaVu-Sans-Bold -pointsize 30 -gravity center -annotate +0+0 'Σ' checkSum.png
convert $S -fill '#f2c14e' -stroke '#b5862a' -draw "circle 24,24 24,4" \
  -stroke none -fill '#3a3f4b' -font DejaVu-Sans-Bold -pointsize 22 -gravity center -annotate +0+1 'A' auto.png
convert $S -fill '#2f6db5' -stroke '#1f4a7c' -draw "circle 24,24 24,4" \
  -stroke none -fill '#ffffff' -font DejaVu-Sans-Bold -pointsize 28 -gravity center -annotate +0+1 '?' help.png
convert $S -fill '#1e9e4a' -stroke '#14693a' -draw "circle 24,24 24,6" \
  -stroke '#ffffff' -strokewidth 4 -fill none -draw "polyline 15,25 22,32 34,17" connect.png
convert $S -fill '#9aa0aa' -stroke '#6b717c' -draw "circle 24,24 24,6" \
  -stroke '#ffffff' -strokewidth 4 -draw "line 17,17 31,31" -draw "line 31,17 17,31" disconnect.png
convert $S -fill '#3a3f4b' -stroke '#1e9e4a' -draw "roundrectangle 4,4 44,44 8,8" \
  -stroke none -fill '#1e9e4a' -font DejaVu-Sans-Bold -pointsize 26 -gravity center -annotate +0+1 'T' logo.png
