#!/usr/bin/env bash
# Makes the committed icon and About bitmap (ImageMagick). Run again to change them.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48; do
  convert -size ${size}x${size} xc:'#1f5fa8' -fill white \
    -draw "rectangle $((size/4)),$((size/8)) $((size*3/4)),$((size*7/8))" \
    -fill '#1f5fa8' -draw "rectangle $((size*3/8)),$((size/4)) $((size*5/8)),$((size*3/8))" \
    -type TrueColor "PNG32:/tmp/pagewire-icon-$size.png"
done
convert /tmp/pagewire-icon-16.png /tmp/pagewire-icon-32.png /tmp/pagewire-icon-48.png pagewire.ico
rm -f /tmp/pagewire-icon-*.png
# About box picture: 165 x 66 dialog units at 9 points is about 248 x 107 pixels.
convert -size 248x107 gradient:'#1f5fa8'-'#e8f0fa' -fill white -pointsize 28 \
  -gravity center -annotate +0+0 'Pagewire' -type TrueColor BMP3:about.bmp
