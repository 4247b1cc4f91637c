#!/usr/bin/env bash
# Redraws the main window's pictures (needs ImageMagick). The PNGs are checked in.
set -euo pipefail
cd "$(dirname "$0")/pictures"
# Flags and shortcut pictures come twice: as they are, and at twice the size (name@2x.png) for
# screens of higher density; the drawing is the same, each pixel four.
for s in 1 2; do
  suffix=""
  [ "$s" = 1 ] || suffix="@${s}x"
  o=$(awk "BEGIN { print ($s - 1) / 2 }")
  t="affine $s,0,0,$s,$o,$o"
  # Russian flag, 30 x 24: white, blue, red.
  convert -size $((30 * s))x$((24 * s)) xc:white -fill '#0039A6' -draw "$t rectangle 0,8 29,15" \
    -fill '#D52B1E' -draw "$t rectangle 0,16 29,23" flag_ru$suffix.png
  # British flag, 32 x 24.
  convert -size $((32 * s))x$((24 * s)) xc:'#012169' \
    -stroke white -strokewidth 5 -draw "$t line 0,0 31,23" -draw "$t line 0,23 31,0" \
    -stroke '#C8102E' -strokewidth 2 -draw "$t line 0,0 31,23" -draw "$t line 0,23 31,0" \
    -stroke none -fill white -draw "$t rectangle 12,0 19,23" -draw "$t rectangle 0,8 31,15" \
    -fill '#C8102E' -draw "$t rectangle 14,0 17,23" -draw "$t rectangle 0,10 31,13" flag_gb$suffix.png
  # Shortcut pictures of the directory chooser, 32 x 32: Computer, Desktop, Personal.
  convert -size $((32 * s))x$((32 * s)) xc:none \
    -stroke '#282828' -fill '#BEBEBE' -draw "$t roundrectangle 3,3 28,21 2,2" \
    -fill '#286EBE' -draw "$t rectangle 6,6 25,18" \
    -stroke none -fill '#787878' -draw "$t rectangle 13,22 18,24" \
    -stroke '#282828' -fill '#BEBEBE' -draw "$t rectangle 5,25 26,28" \
    -stroke '#E6E6E6' -draw "$t line 8,8 14,8" computer$suffix.png
  convert -size $((32 * s))x$((32 * s)) xc:none \
    -stroke '#282828' -fill '#BEBEBE' -draw "$t roundrectangle 1,3 30,24 2,2" \
    -fill '#008080' -draw "$t rectangle 4,6 27,21" \
    -stroke none -fill '#FFE678' -draw "$t rectangle 6,8 9,10" -draw "$t rectangle 6,18 9,20" \
    -fill '#FAFAFA' -draw "$t rectangle 6,13 9,15" \
    -fill '#3C3C3C' -draw "$t rectangle 4,20 27,21" \
    -stroke '#282828' -fill '#BEBEBE' -draw "$t rectangle 10,26 21,28" desktop$suffix.png
  convert -size $((32 * s))x$((32 * s)) xc:none \
    -stroke '#966E14' -fill '#F0C850' -draw "$t polygon 2,8 11,8 13,11 28,11 28,27 2,27" \
    -stroke '#1E3C78' -fill '#4678C8' -draw "$t circle 21,16 21,12" \
    -draw "$t roundrectangle 14,20 27,30 4,4" personal$suffix.png
done
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
# The Windows program icon, every size Explorer asks for, from the scalable icon.
convert -background none -density 384 ../desktop/pmkest.svg -depth 8 \
  -define icon:auto-resize=256,64,48,32,24,16 ../windows/pmkest.ico
