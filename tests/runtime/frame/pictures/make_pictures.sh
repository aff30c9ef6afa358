#!/bin/sh
# Makes the frame tests' pictures with ImageMagick. Their contents are what the tests check:
#   stripes_246x81.jpg  246 x 81: left half red, right half blue, rows 60 to 80 green
#   two_sizes.ico       a 32 x 32 red image and a 16 x 16 blue image
#   two_frames.gif      20 x 10, a red frame for 10/100 s, then a blue one for 30/100 s, looping
#   half_clear.png      20 x 10 with alpha: left half opaque green, right half transparent
set -e
cd "$(dirname "$0")"
convert -size 246x81 xc:'#FF0000' -fill '#0000FF' -draw 'rectangle 123,0 245,80' \
        -fill '#00FF00' -draw 'rectangle 0,60 245,80' -strip -quality 100 stripes_246x81.jpg
convert -size 32x32 xc:'#FF0000' -size 16x16 xc:'#0000FF' -strip two_sizes.ico
convert -delay 10 -size 20x10 xc:'#FF0000' -delay 30 xc:'#0000FF' -loop 0 two_frames.gif
convert -size 20x10 xc:none -fill '#00FF00' -draw 'rectangle 0,0 9,9' -strip PNG32:half_clear.png
