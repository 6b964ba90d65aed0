#!/usr/bin/env bash
# Installs what is missing, builds Parvenex in release mode and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DPARVENEX_BUILD_TESTS=OFF
cmake --build build/release --parallel "$(nproc)"
exec build/release/src/parvenex
