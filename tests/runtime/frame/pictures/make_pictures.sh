#!/bin/sh
# Makes the frame tests' pictures with ImageMagick. Their contents are what the tests check:
#   stripes_246x81.jpg  246 x 81: left half red, right half blue, rows 60 to 80 green
#   two_sizes.ico       a 32 x 32 red image and a 16 x 16 blue image
set -e
cd "$(dirname "$0")"
convert -size 246x81 xc:'#FF0000' -fill '#0000FF' -draw 'rectangle 123,0 245,80' \
        -fill '#00FF00' -draw 'rectangle 0,60 245,80' -strip -quality 100 stripes_246x81.jpg
convert -size 32x32 xc:'#FF0000' -size 16x16 xc:'#0000FF' -strip two_sizes.ico
