#!/usr/bin/env bash
# Installs what is missing, builds Parvenex with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs the whole test suite (no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --test
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DPARVENEX_SANITIZE=ON -DPARVENEX_WERROR=ON \
    -DPARVENEX_BUILD_TESTS=ON -DPARVENEX_BUILD_BENCHMARKS=ON
cmake --build build/test --parallel "$(nproc)"
cd build/test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)"
