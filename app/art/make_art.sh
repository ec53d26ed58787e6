#!/bin/bash
# Draws the About picture (575 x 205) and the setup assistant's picture
# (400 x 400) with ImageMagick. The PNGs are checked in; run this again only
# to change them (the files carry no time stamps, so drawing them again
# without a change leaves them as they are).
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

# The About picture is light, flat colour (the runtime keeps pictures in 16
# bits, which bands gradients): the version line the window draws in black
# at its top right reads on it.
handheld 40 14
convert -size 575x205 xc:'#f2f6fa' -fill '#0f4c75' -draw 'rectangle 0,181 575,205' "${art[@]}" \
  -stroke none -font DejaVu-Sans-Bold -pointsize 44 -fill '#0f4c75' -annotate +188+98 'Vellory Server' \
  -font DejaVu-Sans -pointsize 17 -fill '#3d5a73' -annotate +191+132 'Your handwriting, on your desktop.' \
  -stroke '#9fbad3' -strokewidth 1 -draw 'line 191,148 540,148' \
  -stroke none -pointsize 12 -fill '#dbeafe' -annotate +191+198 'Click anywhere to close this window.' \
  -depth 8 -define png:exclude-chunks=date,time about.png

# The setup picture leaves its lower part white: the assistant's labels and
# popups sit there (from y = 233 down, x = 122 across).
handheld 40 28
convert -size 400x400 xc:white \
  \( -size 400x222 gradient:'#3282b8-#0f4c75' \) -geometry +0+0 -composite "${art[@]}" \
  -fill '#e8eef4' -stroke '#0b1219' -strokewidth 2 -draw 'roundrectangle 236,36 356,116 6,6' \
  -fill '#0f4c75' -stroke none -draw 'rectangle 246,46 346,106' \
  -fill '#e8eef4' -stroke '#0b1219' -strokewidth 2 -draw 'polygon 281,116 311,116 321,140 271,140' \
  -fill none -stroke '#f5c04a' -strokewidth 4 -draw 'bezier 134,118 200,118 230,175 296,140' \
  -fill '#dbeafe' -stroke none -font DejaVu-Sans -pointsize 14 -annotate +272+82 'Hello!' \
  -font DejaVu-Sans-Bold -pointsize 24 -fill white -annotate +160+184 'Setup Assistant' \
  -font DejaVu-Sans -pointsize 13 -fill '#dbeafe' -annotate +162+206 'Three choices and you are set.' \
  -stroke '#c9d6e3' -strokewidth 1 -draw 'line 0,222 400,222' \
  -depth 8 -define png:exclude-chunks=date,time setup.png

# Small pictures carried with the others: the connection states and the two
# computers, 32 x 32.
convert -size 32x32 xc:white -fill '#2e9e4f' -stroke '#1d6b34' -draw 'circle 16,16 16,4' -depth 8 -define png:exclude-chunks=date,time icon-connected.png
convert -size 32x32 xc:white -fill '#b8c0c8' -stroke '#7d8791' -draw 'circle 16,16 16,4' -depth 8 -define png:exclude-chunks=date,time icon-offline.png
convert -size 32x32 xc:white -fill '#1d2b3a' -draw 'roundrectangle 8,2 24,30 3,3' \
  -fill '#d9e8c7' -draw 'rectangle 10,5 22,17' -depth 8 -define png:exclude-chunks=date,time icon-handheld.png
convert -size 32x32 xc:white -fill '#e8eef4' -stroke '#0b1219' -draw 'roundrectangle 3,4 29,22 2,2' \
  -fill '#0f4c75' -stroke none -draw 'rectangle 6,7 26,19' -fill '#0b1219' -draw 'rectangle 12,23 20,27' -depth 8 -define png:exclude-chunks=date,time icon-desktop.png

# The program's icon (the build turns it into program.ico at 48, 32 and 16
# pixels): the handheld on its own, drawn large and scaled down.
handheld 33 3
convert -size 160x160 xc:none "${art[@]}" -resize 48x48 -depth 8 -define png:exclude-chunks=date,time program-icon.png
