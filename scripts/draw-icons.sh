#!/bin/sh
# Draws the program's icons with ImageMagick; the PNGs are committed, so this only
# needs running again when an icon changes.
set -e
cd "$(dirname "$0")/../resources/images"
c="convert -size 32x32 xc:none -strokewidth 2"
# back: a light checkerboard tiled behind prints
convert -size 16x16 pattern:checkerboard -fill '#d8d8d8' -opaque black -fill '#f0f0f0' -opaque white back.png
$c -stroke '#c62828' -draw "line 8,8 24,24" -draw "line 24,8 8,24" cancel.png
$c -stroke '#1565c0' -fill none -draw "polyline 10,4 10,22 28,22" -draw "polyline 4,10 22,10 22,28" crop.png
$c -stroke '#6d4c41' -fill '#ffca28' -draw "polygon 6,26 8,18 22,4 28,10 14,24" edit.png
$c -stroke '#2e7d32' -fill none -draw "rectangle 6,6 26,26" -draw "line 2,16 10,16" -draw "line 22,16 30,16" -draw "line 16,2 16,10" -draw "line 16,22 16,30" fit.png
$c -stroke '#2e7d32' -fill '#a5d6a7' -draw "polygon 16,28 6,16 12,16 12,4 20,4 20,16 26,16" import.png
$c -stroke '#455a64' -fill white -draw "polygon 8,4 20,4 26,10 26,28 8,28" new.png
$c -stroke '#8d6e63' -fill '#ffe082' -draw "polygon 3,10 12,10 14,12 29,12 29,27 3,27" open.png
$c -stroke '#283593' -fill '#7986cb' -draw "rectangle 5,5 27,27" -fill white -draw "rectangle 10,5 22,13" saveas.png
$c -stroke '#1565c0' -fill none -draw "stroke-dasharray 3 2 polygon 5,8 24,4 28,24 8,27" selection.png
# the program's own icon: ridges around a core
convert -size 64x64 xc:none -fill none -stroke '#5d4037' -strokewidth 3 \
  -draw "ellipse 32,36 8,10 0,360" -draw "ellipse 32,36 16,19 180,360" \
  -draw "ellipse 32,36 24,27 180,360" -stroke '#1565c0' -draw "point 32,36" ../ridgemap.png
