#!/usr/bin/env bash
# Generates the three textures the fountain reads at run time, from
# ImageMagick's generators only. Fixed seeds keep the images reproducible.
#   textures/stone.jpg  - grey granular stone (basin floors, water, drops)
#   textures/marble.jpg - light veined marble (walls and slabs)
#   textures/metal.jpg  - brushed metal (spouts and the jet pipe)
set -euo pipefail

cd "$(dirname "$0")/.."
out=textures
mkdir -p "$out"
size=256x256

# Stone: soft mottling, a fine grain laid over it and a few dark specks.
convert -size $size -seed 11 plasma:grey50-grey50 -colorspace Gray \
    -virtual-pixel tile -blur 0x2 -auto-level +level 38%,66% \
  \( -size $size xc:grey50 -seed 12 +noise Random -colorspace Gray \
    -virtual-pixel tile -blur 0x0.6 -auto-level +level 30%,70% \) \
  -compose Overlay -composite \
  \( -size $size xc:grey50 -seed 13 +noise Random -colorspace Gray \
    -threshold 98.5% -negate -virtual-pixel tile -blur 0x0.5 -auto-level +level 55%,100% \) \
  -compose Multiply -composite \
  -strip -quality 90 "$out/stone.jpg"

# Marble: diagonal bands warped by a smooth fractal turn into soft main
# veins; a second, finer set of thin veins and a faint cloudiness on top;
# finally mapped to a warm white.
convert -size $size -seed 21 plasma:fractal -colorspace Gray \
    -virtual-pixel tile -blur 0x6 -auto-level \
    -fx "1-0.55*exp(-abs(sin(((i+0.5*j)/w*2.0+1.1*u)*pi))*6)" \
  \( -size $size -seed 23 plasma:fractal -colorspace Gray -blur 0x2 -auto-level \
    -fx "1-0.3*exp(-abs(sin(((0.3*i+j)/w*3+1.5*u)*pi))*14)" \) \
  -compose Multiply -composite \
  \( -size $size -seed 22 plasma:grey50-grey50 -colorspace Gray -blur 0x3 \
    -auto-level +level 85%,100% \) \
  -compose Multiply -composite \
  -colorspace sRGB +level 22%,96% +level-colors "rgb(112,104,98)","rgb(252,249,243)" \
  -type TrueColor -strip -quality 92 "$out/marble.jpg"

# Brushed metal: noise drawn out into horizontal streaks, with a faint,
# broad variation of sheen.
convert -size $size xc:grey55 -seed 31 +noise Gaussian -colorspace Gray \
    -virtual-pixel tile -motion-blur 0x30+0 -auto-level +level 50%,78% \
  \( -size $size -seed 32 plasma:grey50-grey50 -colorspace Gray -blur 0x8 \
    -auto-level +level 85%,100% \) \
  -compose Multiply -composite \
  -strip -quality 90 "$out/metal.jpg"

identify "$out"/stone.jpg "$out"/marble.jpg "$out"/metal.jpg
