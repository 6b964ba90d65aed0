#!/usr/bin/env bash
# CTest's emulator for the Windows build: runs a test program under Wine, in the build's own
# Wine prefix, with the cross-built Qt and mingw's runtime libraries on its PATH.
#
#   wine-test.sh QT_DIR WINEPREFIX PROGRAM [ARGUMENT...]
#
# A QtTest program writes its log to a file that is printed afterwards: under Wine a window
# program's own output goes to the debugger channel, not to the terminal.
set -uo pipefail
qt=$1 prefix=$2 program=$3
shift 3

# Unix paths as Wine's drive Z: sees them.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

if [ ! -f "$prefix/.complete" ]; then
    echo "wine-test.sh: no Wine prefix in $prefix: run scripts/windows/test.sh" >&2
    exit 1
fi
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
path="$(windows_path "$qt/bin")"
for folder in /usr/lib/gcc/x86_64-w64-mingw32/*-posix /usr/x86_64-w64-mingw32/lib; do
    path+=";$(windows_path "$folder")"
done
export WINEPATH=$path
export QT_PLUGIN_PATH=$(windows_path "$qt/plugins")
# The offscreen platform reads fonts from a folder rather than from Windows; Liberation's faces
# match Arial's metrics, as on Windows.
export QT_QPA_FONTDIR=$(windows_path /usr/share/fonts/truetype/liberation)
# Wine keeps Qt's variables of the host from Windows programs and passes WINEQT_... as QT_...
# instead.
while IFS='=' read -r name _; do
    export "WINE$name=${!name}"
done < <(env | grep '^QT_[A-Za-z0-9_]*=')

case $(basename "$program") in
tst_*)
    log=$(mktemp "$PWD/wine-test.XXXXXX")
    wine "$program" "$@" -o "$(windows_path "$log"),txt"
    status=$?
    cat "$log"
    rm -f "$log"
    exit $status
    ;;
*)
    exec wine "$program" "$@"
    ;;
esac
