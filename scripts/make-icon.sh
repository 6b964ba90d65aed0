#!/usr/bin/env bash
# Redraws the program's icon pictures from the drawing resources/icon/parvenex.svg: the 48 and
# 256 pixel PNGs beside it, which the window shows and the package installs with the drawing,
# and parvenex.ico, which the Windows executable carries (16, 32 and 48 pixels as bitmaps, 256
# as PNG, as Windows expects). Commit them all together.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh librsvg2-bin icoutils
icon=resources/icon
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in 16 32 48 256; do
    rsvg-convert --width "$size" --height "$size" "$icon/parvenex.svg" --output "$work/$size.png"
done
cp "$work/48.png" "$icon/parvenex-48.png"
cp "$work/256.png" "$icon/parvenex-256.png"
icotool --create --output "$icon/parvenex.ico" "$work/16.png" "$work/32.png" "$work/48.png" \
    --raw="$work/256.png"
