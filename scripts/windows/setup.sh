# Sourced by the Windows scripts: the steps they share. ensure_packages installs what
# cross-building and Wine need, ensure_qt builds Qt for mingw-w64 from Debian's own qt6-base
# source once and sets QT_WINDOWS to it, configure_parvenex configures the Windows build folder
# BUILD (build/windows), ensure_wine_prefix makes that folder's Wine prefix and sets WINEPREFIX.
#
# The Qt build is kept in $PARVENEX_CACHE (default ~/.cache/parvenex), outside the work tree,
# in a folder named after the Qt version, and reused by every later run; a second copy of the
# work tree reuses it too.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=$ROOT/build/windows
CACHE=${PARVENEX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/parvenex}
TOOLCHAIN=$ROOT/cmake/mingw-w64-x86_64.cmake
# The host Qt's CMake packages, which give both cross builds its tools (moc, rcc, uic).
HOST_QT_CMAKE=/usr/lib/$(gcc -print-multiarch)/cmake

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Debian's source packages come from a deb-src entry for the release the machine runs.
ensure_sources() {
    if apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Version:'; then
        return
    fi
    . /etc/os-release
    as_root tee /etc/apt/sources.list.d/parvenex-deb-src.sources >/dev/null <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $VERSION_CODENAME
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    as_root apt-get update
}

ensure_packages() {
    "$ROOT/scripts/install-deps.sh" dpkg-dev ninja-build xz-utils g++-mingw-w64-x86-64-posix \
        binutils-mingw-w64-x86-64 nsis wine wine64 xvfb xauth fonts-liberation
    ensure_sources
}

# Qt for mingw-w64: Core, Gui, Widgets and Test with the windows and offscreen platform plugins,
# from the same qt6-base source version as the host Qt, whose tools the cross build uses.
ensure_qt() {
    local version
    version=$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/[+~-].*//')
    QT_WINDOWS=$CACHE/qt-$version-mingw-w64
    if [ -f "$QT_WINDOWS/.complete" ]; then
        return
    fi
    local work=$CACHE/qt-$version-build
    rm -rf "$work" "$QT_WINDOWS"
    mkdir -p "$work/build"
    # The source of the host Qt's very version where the archive still has it.
    (cd "$work" &&
        { apt-get source --download-only "qt6-base=$(dpkg-query -W -f='${Version}' qt6-base-dev)" ||
            apt-get source --download-only qt6-base; } &&
        dpkg-source -x ./*.dsc source)
    # Debian's source leaves out the Wintab header, so tablet input is off; Direct2D and
    # DirectWrite 3 are off because the platform plugin mixes their parts up when only one is.
    (cd "$work/build" && "$work/source/configure" -prefix "$QT_WINDOWS" -release -shared \
        -opensource -confirm-license -xplatform win32-g++ \
        -device-option CROSS_COMPILE=x86_64-w64-mingw32- -qt-host-path /usr \
        -nomake examples -nomake tests -no-opengl -no-dbus -no-icu \
        -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-doubleconversion \
        -no-feature-sql -no-feature-network -no-feature-printsupport -no-feature-concurrent \
        -no-feature-xml -no-feature-vulkan \
        -no-feature-tabletevent -no-feature-direct2d -no-feature-directwrite3 \
        -- -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DQT_HOST_PATH_CMAKE_DIR="$HOST_QT_CMAKE")
    cmake --build "$work/build" --parallel "$(nproc)"
    cmake --install "$work/build"
    touch "$QT_WINDOWS/.complete"
    rm -rf "$work"
}

configure_parvenex() {
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_PREFIX_PATH="$QT_WINDOWS" \
        -DCMAKE_FIND_ROOT_PATH="$QT_WINDOWS" -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR="$HOST_QT_CMAKE" \
        -DPARVENEX_WERROR=ON -DPARVENEX_WINDOWS_QT="$QT_WINDOWS" "$@"
}

# A Wine prefix of the build's own, made once, with Arial replaced by the metrically equal
# Liberation Sans so that the captions fit as they do on Windows. Its graphics driver is Wine's
# null driver: the tests draw on Qt's offscreen platform, and no display is needed.
ensure_wine_prefix() {
    export WINEPREFIX=$BUILD/wine
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    if [ -f "$WINEPREFIX/.complete" ]; then
        return
    fi
    rm -rf "$WINEPREFIX"
    wineboot --init
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ \
        /d 'Liberation Sans' /f >/dev/null
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f >/dev/null
    wineserver --wait
    touch "$WINEPREFIX/.complete"
}
