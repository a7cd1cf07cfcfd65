#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Draws the sample folder samples/ with ImageMagick from built-in patterns, gradients and text
# (no outside pictures), and writes the sequence file samples/tour.stl beside them.
# The results are kept in the repository; run again only to change them.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out="$top/samples"
mkdir -p "$out"
cd "$out"
rm -f ./*.jpg ./*.png ./*.gif ./*.bmp ./*.tif ./*.tga ./*.pcx tour.stl

im() { convert "$@"; }
# Caption options: the text in white with a dark outline, at the bottom centre.
title() { # title <text> <size>: sets T
    T=(-gravity south -pointsize "$2" -stroke '#202020' -strokewidth 2 -fill white
        -annotate +0+20 "$1" -stroke none -annotate +0+20 "$1")
}

title Sunrise 48
im -size 800x600 gradient:'#FF7E5F-#2B1055' "${T[@]}" -quality 85 01-sunrise.jpg
title Plasma 40
im -size 640x480 -seed 7 plasma:fractal -blur 0x1 "${T[@]}" -quality 85 02-plasma.jpg
title Checkers 36
im -size 480x360 pattern:checkerboard -fill '#3060C0' -colorize 40 "${T[@]}" \
    PNG24:03-checkers.png
title Rings 36
im -size 400x400 radial-gradient:'#FFE066-#7A1E48' "${T[@]}" -colors 64 04-rings.gif
im -size 240x180 pattern:bricks -fill '#B04020' -colorize 50 -type Palette BMP3:05-bricks.bmp
title Sky 36
im -size 480x320 gradient:'#87CEEB-#F0F8FF' -fill white -draw 'circle 120,110 170,110' \
    -draw 'circle 170,100 215,100' "${T[@]}" -compress LZW 06-sky.tif
im -size 360x140 xc:'#204060' -gravity center -pointsize 44 -fill '#FFD040' \
    -annotate +0+0 'Tavelune' -compress RLE 07-label.tga
title 'Panorama: it scrolls by itself' 40
im -size 480x2400 gradient:'#0B486B-#F56217' -rotate 90 -seed 3 \
    \( -size 2400x480 plasma:fractal -blur 0x3 \) -compose overlay -composite \
    "${T[@]}" -quality 80 08-panorama.jpg
title Tower 36
im -size 360x1500 gradient:'#000428-#004E92' -fill '#FFFFFF' -draw 'circle 180,200 200,200' \
    -draw 'circle 90,600 100,600' -draw 'circle 260,950 270,950' "${T[@]}" \
    -quality 80 09-tower.jpg
title Hexagons 36
im -size 480x360 pattern:hexagons -fill '#20A060' -colorize 45 "${T[@]}" \
    PNG24:10-hexagons.png
title Fractal 32
im -size 320x320 -seed 11 plasma:'#FF0080-#00FFC0' -colors 128 "${T[@]}" 11-fractal.gif
title Waves 40
im -size 640x400 xc:black -channel R -fx '0.5+0.5*sin(i/18+4*sin(j/40))' -channel G -fx '0.5+0.5*sin(j/22)' \
    -channel B -fx '0.75' +channel "${T[@]}" -quality 85 12-waves.jpg

# The tour: paths relative to this folder, one comment each.
printf '%s\r\n' \
    '01-sunrise.jpg;A gradient from dawn to dusk' \
    '08-panorama.jpg;Wider than the window: watch it scroll' \
    '02-plasma.jpg;Plasma, drawn from a fixed seed' \
    '09-tower.jpg;Taller than the window' \
    '12-waves.jpg;Waves computed pixel by pixel' \
    '07-label.tga;' \
    >tour.stl
ls -l "$out"
du -sh "$out"
