#!/usr/bin/env bash
# Draws the player's icon (resource 128) with ImageMagick: a blue rounded square
# in the skin's title-band colours with a white play triangle. The result,
# kavuno.ico, is committed; the build does not run this.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 256x256 xc:none \
  \( -size 256x256 gradient:'rgb(153,197,238)-rgb(41,83,177)' \) \
  \( -size 256x256 xc:none -fill white -draw 'roundrectangle 8,8 247,247 48,48' \) \
  -delete 0 -compose DstIn -composite \
  -fill none -stroke 'rgb(0,51,102)' -strokewidth 8 -draw 'roundrectangle 8,8 247,247 48,48' \
  -stroke none -fill white -draw 'polygon 96,64 96,192 196,128' \
  "$work/icon-256.png"
for s in 48 32 16; do convert "$work/icon-256.png" -resize ${s}x${s} "$work/icon-$s.png"; done
convert "$work/icon-16.png" "$work/icon-32.png" "$work/icon-48.png" kavuno.ico
