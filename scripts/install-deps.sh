#!/usr/bin/env bash
# Installs from Debian's packages what a task needs, calling apt-get only when a package is
# missing, so it is safe to run again.
#
#   scripts/install-deps.sh [--package] [--fuzz] [--test] [PACKAGE...]
#
# Without options: what building and running Parvenex needs. --package adds what making the
# Debian package needs, --fuzz what the fuzz targets need, --test what the tests, benchmarks and
# fuzz targets need (the packaging test too).
# Further names are installed as well (the scripts that need a tool of their own pass it).
set -euo pipefail

run=(
    build-essential cmake
    qt6-base-dev qt6-base-dev-tools libgl-dev
    fonts-liberation
)
# The package carries the word method, so it is built against LibreOffice's SDK; dpkg-shlibdeps
# computes its library dependencies, and CPack needs `file` to find the programs among its files.
package=(libreoffice-dev dpkg-dev file)
# clang's libFuzzer and sanitizer runtimes come with libclang-rt-dev, which clang only
# recommends; the name without a version follows the release's clang (14 on Debian 12, 19 on
# Debian 13).
fuzz=(clang libclang-rt-dev)
test=(
    "${package[@]}"
    "${fuzz[@]}"
    libbenchmark-dev
    libreoffice-writer g++-mingw-w64-x86-64
    desktop-file-utils appstream groff-base
)

packages=("${run[@]}")
for argument in "$@"; do
    case $argument in
    --package) packages+=("${package[@]}") ;;
    --fuzz) packages+=("${fuzz[@]}") ;;
    --test) packages+=("${test[@]}") ;;
    -*) echo "install-deps.sh: unknown option $argument" >&2; exit 2 ;;
    *) packages+=("$argument") ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
