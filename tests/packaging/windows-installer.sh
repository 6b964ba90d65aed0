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
# Wine's own services, started along the way, outlive the programs and would hold CTest's
# output pipe open until they end: the programs write to a file instead.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
run() { wine "$@" </dev/null >"$output" 2>&1; }

rm -rf "$folder"
run "$installer" /S "/D=$target" || fail "the installer failed"
for file in parvenex.exe uninstall.exe HAND-M.CUR Qt6Core.dll platforms/qwindows.dll \
    imageformats/qico.dll; do
    [ -f "$folder/$file" ] || fail "$file was not installed"
done
run "$folder/parvenex.exe" --version
version=$(tr -d '\r' <"$output")
[ "$version" = "parvenex $PARVENEX_VERSION" ] || fail "the installed program says \"$version\""
run reg query "$key" /v UninstallString && grep -qF "$target\\uninstall.exe" "$output" ||
    fail "no uninstaller is registered"

run "$folder/uninstall.exe" /S || fail "the uninstaller failed"
# The uninstaller runs on from a copy of itself.
for _ in $(seq 50); do
    [ -e "$folder" ] || break
    sleep 0.2
done
[ ! -e "$folder" ] || fail "left behind: $(cd "$folder" && find . -type f | tr '\n' ' ')"
if run reg query "$key"; then
    fail "the uninstaller is still registered"
fi
echo "installed, started and removed: $installer"
