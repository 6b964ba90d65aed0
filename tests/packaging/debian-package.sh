#!/usr/bin/env bash
# The Debian package, made by CPack from this very build (scripts/package.sh does the same from a
# release build): the files it installs and the packaging metadata do not depend on how the
# program was compiled, and a build of its own would double the test run's time.
#
#   debian-package.sh CPACK_CONFIG VERSION HARDENED(ON/OFF)
set -u
config=$1 version=$2 hardened=$3
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
root=$folder/root
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# Runs a check by name; what it prints is shown only when it fails.
check() {
    local name=$1 output
    shift
    output=$("$@" 2>&1) || fail "$name: ${output:0:4000}"
}

cpack --config "$config" -B "$folder" >"$folder/cpack.log" 2>&1 || {
    cat "$folder/cpack.log"
    exit 1
}
package=$folder/parvenex_${version}_$(dpkg --print-architecture).deb
dpkg-deb --extract "$package" "$root" || exit 1
cd "$root" || exit 1

# Exactly these files, all root's: the program's folder with the executable and the hand
# pointer, the link in bin/, and what the desktop, the manual and Debian want.
listing=$(dpkg-deb --contents "$package")
owners=$(awk '{print $2}' <<<"$listing" | sort -u)
[ "$owners" = root/root ] || fail "owners: $owners"
# mode owner size date time path [-> target], as "path [-> target] mode"
files=$(awk '$1 !~ /^d/ { mode = $1; for (i = 1; i <= 5; i++) $i = ""
                          sub(/^ +/, ""); print $0 " " mode }' <<<"$listing" | LC_ALL=C sort)
expected="./usr/bin/parvenex -> ../lib/parvenex/parvenex lrwxrwxrwx
./usr/lib/parvenex/HAND-M.CUR -rw-r--r--
./usr/lib/parvenex/parvenex -rwxr-xr-x
./usr/share/applications/parvenex.desktop -rw-r--r--
./usr/share/doc/parvenex/changelog.Debian.gz -rw-r--r--
./usr/share/doc/parvenex/copyright -rw-r--r--
./usr/share/icons/hicolor/256x256/apps/parvenex.png -rw-r--r--
./usr/share/icons/hicolor/48x48/apps/parvenex.png -rw-r--r--
./usr/share/icons/hicolor/scalable/apps/parvenex.svg -rw-r--r--
./usr/share/man/man1/parvenex.1.gz -rw-r--r--
./usr/share/metainfo/com.quenlow.parvenex.metainfo.xml -rw-r--r--"
[ "$files" = "$expected" ] || fail "files:"$'\n'"$(diff <(echo "$expected") <(echo "$files"))"

# The name, version and architecture are in the package's file name. dpkg-shlibdeps ran: the
# libraries the program links come with versions.
field() { [[ $(dpkg-deb --field "$package" "$1") =~ $2 ]] || fail "$1 does not match $2"; }
field Depends '(^|, )fonts-liberation(,|$)'
field Depends '(^|, )libqt6widgets6 \(>= 6[^)]*\)'
field Recommends '^libreoffice-writer$'

# Hints too: they say the entry could land in a catch-all menu. groff exits with 0 after
# warnings too.
silent() { ! "$@" 2>&1 | grep .; }
check "desktop entry" silent desktop-file-validate usr/share/applications/parvenex.desktop
check manual silent sh -c 'zcat usr/share/man/man1/parvenex.1.gz | groff -man -ww -z'

# What both Debian 12's AppStream 0.16 and Debian 13's 1.0 say of the metainfo, infos included,
# save two issues no file can avoid on both: 1.0 wants a <developer> tag, which 0.16 calls an
# unknown tag; and 1.0 warns that the home page is missing, which it is: the project has none
# yet, and an address made up for the validator would send users nowhere.
metainfo=usr/share/metainfo/com.quenlow.parvenex.metainfo.xml
verdict=$(appstreamcli validate --no-net "$metainfo" 2>&1)
# Its verdict ends what it prints, so the validator did run.
grep -q 'Validation ' <<<"$verdict" || fail "appstreamcli did not validate: $verdict"
refused=$(grep -E '^[EWI]: [^:]+:(~|[0-9]+): ' <<<"$verdict" |
    grep -Ev ': (developer-info-missing|url-homepage-missing)( |$)')
[ -z "$refused" ] || fail "metainfo: $verdict"

# Each version's changes, in Debian's format where apt looks for them, naming this version.
changes=$(zcat usr/share/doc/parvenex/changelog.Debian.gz | dpkg-parsechangelog --file - \
    --show-field Version)
[ "$changes" = "$version" ] || fail "the changelog's newest version is \"$changes\""

# Debian's hardening, read from the packaged program's ELF headers: a position-independent
# executable, relocations read-only once all are bound at start-up, and stack canaries. The
# other flags leave no mark the program is sure to carry: checked buffer functions appear only
# where the compiler cannot prove a call safe, which in this program it can; stack clash probes
# leave none; and control-flow protection is marked only when every object linked in has it,
# which the C start-up files of Debian 12 and 13 do not.
elf() { grep -Eq "$2" <<<"$(readelf "$1" --wide usr/lib/parvenex/parvenex)" || fail "readelf $1: no $2"; }
if [ "$hardened" = ON ]; then
    elf --file-header 'Type:\s+DYN '
    elf --program-headers '\bGNU_RELRO\b'
    elf --dynamic '\(FLAGS\)\s+BIND_NOW\b'
    elf --dyn-syms '\b__stack_chk_fail\b'
fi

# The menu entry, the metainfo and the icons name each other and the installed program.
key() { sed -n "s/^$1=//p" usr/share/applications/parvenex.desktop; }
command=$(key Exec) icon=$(key Icon)
[ "$command" = 'parvenex %F' ] || fail "Exec=$command"
pictures=usr/share/icons/hicolor
[ -f "$pictures/scalable/apps/$icon.svg" ] || fail "no scalable icon named $icon"
for size in 48 256; do
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    read -r width height < <(od -An -tu4 --endian=big -j16 -N8 "$pictures/${size}x$size/apps/$icon.png")
    [ "$width $height" = "$size $size" ] || fail "the ${size}px icon is ${width}x$height"
done
tag() { sed -n "s|.*<$1>\(.*\)</${1%% *}>.*|\1|p" "$metainfo"; }
[ "$(tag id)" = com.quenlow.parvenex ] || fail "metainfo id $(tag id)"
[ "$(tag 'launchable type="desktop-id"')" = parvenex.desktop ] || fail "metainfo launchable"
[ "$(tag binary)" = "${command%% *}" ] || fail "metainfo binary $(tag binary)"
# The installed command runs through its link; no display is needed for the version.
said=$("usr/bin/$(tag binary)" --version 2>&1)
[ "$said" = "parvenex $version" ] || fail "the installed program says \"$said\""

[ "$failures" -eq 0 ] && echo "the package holds what it should: $package"
