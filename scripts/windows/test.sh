#!/usr/bin/env bash
# Builds Parvenex and its tests for Windows (building Qt for mingw-w64 first, once) and runs the
# whole test suite under Wine on the offscreen platform. scripts/test.sh runs it after the Linux
# tests.
set -euo pipefail
. "$(dirname "$0")/setup.sh"
ensure_packages
ensure_qt
configure_parvenex -DPARVENEX_BUILD_TESTS=ON \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$ROOT/scripts/windows/wine-test.sh;$QT_WINDOWS;$BUILD/wine"
cmake --build "$BUILD" --parallel "$(nproc)"
# The installer test installs what the build ships.
cmake --build "$BUILD" --target installer
ensure_wine_prefix
# One Wine server for the whole run rather than one per test.
wineserver --persistent=60 2>/dev/null || true
cd "$BUILD"
status=0
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" || status=$?
wineserver --kill || true
exit $status
