#!/usr/bin/env bash
# Builds the fuzz targets (build/fuzz) and runs each of them for SECONDS seconds (60 unless
# given), one after another, from its seed corpus in fuzz/corpus/<target>.
#
#   scripts/fuzz.sh [SECONDS] [--merge] [TARGET...]
#
# Without TARGET names, every target runs.
# The inputs found go to build/fuzz/found/<target>, and with --merge the ones that add coverage
# are merged into the seed corpus at the end. An input that crashes a target or breaks one of
# its properties is kept as build/fuzz/findings/<target>-crash-*; the script then exits with
# status 1, after running the remaining targets.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
merge=false
chosen=()
for argument in "$@"; do
    case $argument in
    --merge) merge=true ;;
    '' | -*) echo "usage: scripts/fuzz.sh [SECONDS] [--merge] [TARGET...]" >&2; exit 2 ;;
    *[!0-9]*) chosen+=("$argument") ;;
    *) seconds=$argument ;;
    esac
done

scripts/install-deps.sh --fuzz
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=Debug -DPARVENEX_FUZZ=ON \
    -DPARVENEX_WERROR=ON -DPARVENEX_LIBREOFFICE=OFF
cmake --build build/fuzz --parallel 2

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export QT_QPA_PLATFORM=offscreen HOME=$home XDG_CONFIG_HOME=$home/.config
# As in fuzz/CMakeLists.txt: an allocation above 2 GB returns null, as malloc may.
export ASAN_OPTIONS=allocator_may_return_null=1:max_allocation_size_mb=2048 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp
mkdir -p build/fuzz/findings
status=0
while read -r name program options; do
    if [ ${#chosen[@]} -gt 0 ] && [[ " ${chosen[*]} " != *" $name "* ]]; then
        continue
    fi
    found=build/fuzz/found/$name
    mkdir -p "$found"
    echo "== $name: $seconds s"
    # shellcheck disable=SC2086 # the options are separate words
    # Under AddressSanitizer the resident memory of a long run grows with the sizes of the inputs
    # tried while the live heap stays at a few dozen megabytes (freed memory is kept per size
    # class), past libFuzzer's 2 GB within ten minutes; a single allocation is still held to 2 GB.
    "$program" -max_total_time="$seconds" -timeout=60 -print_final_stats=1 \
        -rss_limit_mb=6144 -malloc_limit_mb=2048 $options \
        -artifact_prefix="build/fuzz/findings/$name-" "$found" "fuzz/corpus/$name" || status=1
    if $merge; then
        # shellcheck disable=SC2086
        "$program" -merge=1 $options "fuzz/corpus/$name" "$found"
    fi
done <build/fuzz/fuzz/targets.txt
exit $status
