#!/usr/bin/env bash
# Builds Parvenex in release mode, with the word method, and makes its Debian package:
# build/package/parvenex_<version>_amd64.deb. Installs what is missing first.
#
#   scripts/package.sh [BUILD_FOLDER [PACKAGE_FOLDER]]
#
# The packaging test passes folders of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/package}
output=${2:-$build}
scripts/install-deps.sh --package
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DPARVENEX_BUILD_TESTS=OFF -DPARVENEX_BUILD_BENCHMARKS=OFF -DPARVENEX_LIBREOFFICE=ON
cmake --build "$build" --parallel 2
cpack --config "$build/CPackConfig.cmake" -B "$output"
