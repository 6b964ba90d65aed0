#!/usr/bin/env bash
# Redraws the program's icon pictures from the drawing resources/icon/parvenex.svg: the 48 and
# 256 pixel PNGs beside it, which the window shows and the package installs with the drawing.
# Commit all three together.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh librsvg2-bin
for size in 48 256; do
    rsvg-convert --width "$size" --height "$size" resources/icon/parvenex.svg \
        --output "resources/icon/parvenex-$size.png"
done
