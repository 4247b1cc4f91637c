#!/usr/bin/env bash
# Redraws the main window's pictures (needs ImageMagick). The PNGs are checked in.
set -euo pipefail
cd "$(dirname "$0")/pictures"
# Russian flag, 30 x 24: white, blue, red.
convert -size 30x24 xc:white -fill '#0039A6' -draw 'rectangle 0,8 29,15' \
  -fill '#D52B1E' -draw 'rectangle 0,16 29,23' flag_ru.png
# British flag, 32 x 24.
convert -size 32x24 xc:'#012169' \
  -stroke white -strokewidth 5 -draw 'line 0,0 31,23' -draw 'line 0,23 31,0' \
  -stroke '#C8102E' -strokewidth 2 -draw 'line 0,0 31,23' -draw 'line 0,23 31,0' \
  -stroke none -fill white -draw 'rectangle 12,0 19,23' -draw 'rectangle 0,8 31,15' \
  -fill '#C8102E' -draw 'rectangle 14,0 17,23' -draw 'rectangle 0,10 31,13' flag_gb.png
# Program icon, 64 x 64: an 8051 chip.
convert -size 64x64 xc:none \
  -fill '#B0B0B0' -draw 'rectangle 4,12 59,51' \
  -fill '#202020' -draw 'roundrectangle 8,8 55,55 4,4' \
  -fill '#D8D8D8' \
  -draw 'rectangle 2,14 7,17' -draw 'rectangle 2,22 7,25' -draw 'rectangle 2,30 7,33' \
  -draw 'rectangle 2,38 7,41' -draw 'rectangle 2,46 7,49' \
  -draw 'rectangle 56,14 61,17' -draw 'rectangle 56,22 61,25' -draw 'rectangle 56,30 61,33' \
  -draw 'rectangle 56,38 61,41' -draw 'rectangle 56,46 61,49' \
  -fill '#FFD000' -font DejaVu-Sans-Bold -pointsize 20 -gravity center -annotate +0+0 '51' \
  pmkest.png
