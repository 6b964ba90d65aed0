#!/usr/bin/env bash
# The Windows installer as a user meets it, under Wine: a silent install into a folder of the
# test's own, the installed program starting from there with the libraries it ships, the
# uninstaller's entry, and a silent uninstall that leaves none of the installed files behind.
#
#   windows-installer.sh INSTALLER WINEPREFIX
set -uo pipefail
installer=$1
export WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Only what Windows itself has: the shipped libraries must be enough.
unset WINEPATH
target='C:\parvenex-installer-test'
folder=$WINEPREFIX/drive_c/parvenex-installer-test
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Parvenex'
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$folder"
wine "$installer" /S "/D=$target" || fail "the installer failed"
wineserver --wait
for file in parvenex.exe uninstall.exe HAND-M.CUR Qt6Core.dll platforms/qwindows.dll \
    imageformats/qico.dll; do
    [ -f "$folder/$file" ] || fail "$file was not installed"
done
version=$(wine "$folder/parvenex.exe" --version | tr -d '\r')
[ "$version" = "parvenex $PARVENEX_VERSION" ] || fail "the installed program says \"$version\""
wine reg query "$key" /v UninstallString | grep -qF "$target\\uninstall.exe" ||
    fail "no uninstaller is registered"

wine "$folder/uninstall.exe" /S || fail "the uninstaller failed"
# The uninstaller runs on from a copy of itself.
for _ in $(seq 50); do
    [ -e "$folder" ] || break
    sleep 0.2
done
wineserver --wait
[ ! -e "$folder" ] || fail "left behind: $(cd "$folder" && find . -type f | tr '\n' ' ')"
if wine reg query "$key" >/dev/null 2>&1; then
    fail "the uninstaller is still registered"
fi
echo "installed, started and removed: $installer"
