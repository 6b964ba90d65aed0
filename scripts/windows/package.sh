#!/usr/bin/env bash
# Builds Parvenex for Windows (building Qt for mingw-w64 first, once) and makes its installer,
# build/windows/parvenex-<version>-setup.exe.
set -euo pipefail
. "$(dirname "$0")/setup.sh"
ensure_packages
ensure_qt
configure_parvenex
cmake --build "$BUILD" --parallel "$(nproc)" --target installer
ls "$BUILD"/parvenex-*-setup.exe
