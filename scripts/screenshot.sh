#!/usr/bin/env bash
# Takes screenshots of the main window under a virtual X server, without and with the
# example skin: build/screenshots/plain.png and build/screenshots/skinned.png, and on a dark
# desktop as users get one: the Adwaita-Dark style (dark.png) and qt6ct's "darker" colour scheme
# (dark-qt6ct.png). For looking at the window's appearance; not part of the test run. Installs
# the X and imaging tools and the dark themes it uses.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh xvfb xauth x11-utils imagemagick adwaita-qt6 qt6ct
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DPARVENEX_BUILD_TESTS=OFF
cmake --build build/release --target parvenex --parallel 2

out=build/screenshots
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs a copy of the program from its own folder, so that the skin never lands beside the
# build, with settings kept in a scratch folder instead of the user's; further arguments are
# environment settings for the program.
shoot() {
    local name=$1 skin=$2
    shift 2
    local folder=$work/$name
    mkdir -p "$folder" "$work/config-$name"
    cp build/release/src/parvenex build/release/src/HAND-M.CUR "$folder/"
    [ -n "$skin" ] && cp -r "$skin" "$folder/x"
    env XDG_CONFIG_HOME="$work/config-$name" "$@" xvfb-run -a -s "-screen 0 1280x800x24" \
        bash -c '
            "$1/parvenex" &
            program=$!
            for _ in $(seq 50); do
                xwininfo -name Parvenex >/dev/null 2>&1 && break
                sleep 0.2
            done
            sleep 1
            import -window "$(xwininfo -name Parvenex | sed -n "s/.*Window id: \(0x[0-9a-f]*\).*/\1/p")" "$2"
            kill "$program"
        ' shoot "$folder" "$out/$name.png"
    echo "$out/$name.png"
}

shoot plain ""
shoot skinned examples/skin/x
shoot dark "" QT_STYLE_OVERRIDE=Adwaita-Dark
mkdir -p "$work/config-dark-qt6ct/qt6ct"
printf '[Appearance]\ncustom_palette=true\ncolor_scheme_path=/usr/share/qt6ct/colors/darker.conf\nstyle=Fusion\n' \
    >"$work/config-dark-qt6ct/qt6ct/qt6ct.conf"
shoot dark-qt6ct "" QT_QPA_PLATFORMTHEME=qt6ct
