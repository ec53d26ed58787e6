#!/bin/bash
# Draws the About picture (575 x 205) and the setup assistant's picture
# (400 x 400) with ImageMagick. The PNGs are checked in; run this again only
# to change them.
set -eu
cd "$(dirname "$0")"

# handheld X Y: a handheld drawn at (X, Y), 94 x 154: a rounded dark body, a
# pale screen with a line of handwriting, a writing area, a resting stylus.
handheld() {
  local x=$1 y=$2
  art=(-fill '#1d2b3a' -stroke '#0b1219' -strokewidth 2
       -draw "roundrectangle $x,$y $((x + 94)),$((y + 144)) 11,11"
       -fill '#d9e8c7' -stroke '#93a77f' -strokewidth 1
       -draw "rectangle $((x + 11)),$((y + 12)) $((x + 83)),$((y + 84))"
       -fill none -stroke '#2f4a2a' -strokewidth 2
       -draw "bezier $((x + 17)),$((y + 48)) $((x + 26)),$((y + 26)) $((x + 34)),$((y + 62)) $((x + 43)),$((y + 41))"
       -draw "bezier $((x + 43)),$((y + 41)) $((x + 53)),$((y + 24)) $((x + 60)),$((y + 65)) $((x + 74)),$((y + 43))"
       -fill '#2c3e50' -stroke '#0b1219' -strokewidth 1
       -draw "roundrectangle $((x + 11)),$((y + 94)) $((x + 83)),$((y + 130)) 4,4"
       -stroke '#c0c8d0' -strokewidth 4
       -draw "line $((x + 84)),$((y + 154)) $((x + 110)),$((y + 108))")
}

handheld 40 26
convert -size 575x205 gradient:'#0f4c75-#3282b8' "${art[@]}" \
  -stroke none -font DejaVu-Sans-Bold -pointsize 44 -fill white -annotate +190+88 'Vellory Server' \
  -font DejaVu-Sans -pointsize 17 -fill '#dbeafe' -annotate +193+122 'Your handwriting, on your desktop.' \
  -stroke '#bcd7f0' -strokewidth 1 -draw 'line 193,140 540,140' \
  -stroke none -pointsize 14 -fill '#bcd7f0' -annotate +193+166 'Version 1.1' \
  -depth 8 about.png

handheld 70 60
convert -size 400x400 gradient:'#3282b8-#0f4c75' "${art[@]}" \
  -fill '#e8eef4' -stroke '#0b1219' -strokewidth 2 -draw 'roundrectangle 232,110 352,190 6,6' \
  -fill '#0f4c75' -stroke none -draw 'rectangle 242,120 342,180' \
  -fill '#e8eef4' -stroke '#0b1219' -strokewidth 2 -draw 'polygon 277,190 307,190 317,214 267,214' \
  -fill none -stroke '#f5c04a' -strokewidth 4 -draw 'line 117,205 117,213' -draw 'line 117,213 119,220' -draw 'line 119,220 122,228' -draw 'line 122,228 125,234' -draw 'line 125,234 129,241' -draw 'line 129,241 134,246' -draw 'line 134,246 139,251' -draw 'line 139,251 145,256' -draw 'line 145,256 151,260' -draw 'line 151,260 158,264' -draw 'line 158,264 166,267' -draw 'line 166,267 173,269' -draw 'line 173,269 181,271' -draw 'line 181,271 189,272' -draw 'line 189,272 197,273' -draw 'line 197,273 205,273' -draw 'line 205,273 213,273' -draw 'line 213,273 221,272' -draw 'line 221,272 229,271' -draw 'line 229,271 237,269' -draw 'line 237,269 245,266' -draw 'line 245,266 252,263' -draw 'line 252,263 259,259' -draw 'line 259,259 265,254' -draw 'line 265,254 271,249' -draw 'line 271,249 277,243' -draw 'line 277,243 281,237' -draw 'line 281,237 285,230' -draw 'line 285,230 289,223' -draw 'line 289,223 292,215' \
  -fill '#dbeafe' -stroke none -font DejaVu-Sans -pointsize 14 -annotate +268+156 'Hello!' \
  -font DejaVu-Sans-Bold -pointsize 28 -fill white -annotate +40+340 'Setup Assistant' \
  -font DejaVu-Sans -pointsize 15 -fill '#dbeafe' -annotate +42+366 'Connect your handheld in a few steps.' \
  -depth 8 setup.png
