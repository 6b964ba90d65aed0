#!/usr/bin/env bash
# Installs what is missing, builds Parvenex with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs the whole test suite (no display needed), then builds the fuzz targets with clang in a
# build folder of their own and runs each of them for a short, fixed number of runs, and last
# builds Parvenex for Windows and runs the whole suite again under Wine
# (scripts/windows/test.sh; the first run on a machine builds Qt for Windows once).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DPARVENEX_SANITIZE=ON -DPARVENEX_WERROR=ON \
    -DPARVENEX_BUILD_TESTS=ON -DPARVENEX_BUILD_BENCHMARKS=ON
cmake --build build/test --parallel "$(nproc)"
cd build/test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)"

cd ../..
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=Debug -DPARVENEX_FUZZ=ON \
    -DPARVENEX_WERROR=ON -DPARVENEX_LIBREOFFICE=OFF
cmake --build build/fuzz --parallel "$(nproc)"
cd build/fuzz
ctest --output-on-failure -L fuzz

cd ../..
scripts/windows/test.sh
