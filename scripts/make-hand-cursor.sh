#!/usr/bin/env bash
# Redraws the shipped hand pointer: resources/cursor/hand.txt (the drawing) becomes
# resources/cursor/hand.png, and that picture with its hot spot, the tip of the index finger,
# becomes resources/HAND-M.CUR. Commit all three together.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/tools -DCMAKE_BUILD_TYPE=Release -DPARVENEX_BUILD_TESTS=OFF \
    -DPARVENEX_BUILD_TOOLS=ON
cmake --build build/tools --target cursortool --parallel 2
tool=build/tools/tools/cursortool/cursortool
"$tool" draw resources/cursor/hand.txt resources/cursor/hand.png
"$tool" cur resources/cursor/hand.png 5 0 resources/HAND-M.CUR
