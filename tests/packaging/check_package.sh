#!/usr/bin/env bash
# The Debian package as a user gets it: its control data, then its files
# unpacked with dpkg -x into a throwaway root, where the installed programs
# run (Lumora's scripted lesson on a simulated class under Xvfb) and a small
# C program is built against the installed library through pkg-config and
# through find_package(Penlynx). Nothing is installed on this machine.
#
# usage: tests/packaging/check_package.sh BUILD_DIR   (after make package)
# The tour's pictures are kept in BUILD_DIR/package-check/tour/ for a look.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-build}" && pwd)
version=$(sed -n 's/^#define LUMORA_VERSION "\(.*\)"$/\1/p' "$build/generated/LumoraVersion.h")
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
shopt -s nullglob
debs=("$build"/lumora_"$version"_*.deb)
if [ "${#debs[@]}" -ne 1 ]; then
    echo "check-package: expected one lumora_${version}_*.deb in $build, found ${#debs[@]}" >&2
    exit 1
fi
deb=${debs[0]}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
lib=$root/usr/lib/$multiarch
kept=$build/package-check
rm -rf "$kept"
mkdir -p "$kept"

# shellcheck source=checks.sh
. "$top/tests/packaging/checks.sh"

# ---- control data ---------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
depends_on() {
    local names
    names=$(field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//')
    echo "Depends:" $names
    for package in "$@"; do
        grep -Fqx "$package" <<<"$names" || { echo "no $package"; return 1; }
    done
    ! grep -q lumora <<<"$names"
}
check "package name, version and architecture" \
    test "$(field Package) $(field Version) $(field Architecture)" = \
    "lumora $version $(dpkg --print-architecture)"
mkdir -p "$work/control"
dpkg-deb -e "$deb" "$work/control"
check "shlibs names the library's soname" grep -Eq "^libPenlynx 1 lumora" "$work/control/shlibs"
check "ldconfig runs after the library is installed" grep -q ldconfig "$work/control/triggers"
# The maintainer scripts with a stand-in udevadm that logs its calls and
# fails: they call it only where udev runs (its control socket exists), and
# succeed either way. The machine's own udev is never touched.
maintainer_script() { # SCRIPT ARGUMENT
    local fake=$work/fake-bin log=$work/udevadm.log
    mkdir -p "$fake"
    printf '#!/bin/sh\necho "$*" >>"%s"\nexit 1\n' "$log" >"$fake/udevadm"
    chmod +x "$fake/udevadm"
    rm -f "$log"
    PATH="$fake:$PATH" sh "$work/control/$1" "$2" || { echo "$1 $2 failed"; return 1; }
    if [ -S /run/udev/control ]; then
        grep -qx "control --reload-rules" "$log"
    else
        [ ! -e "$log" ] || { echo "udevadm called without udev:"; cat "$log"; return 1; }
    fi
}
check "postinst reloads the udev rules only where udev runs, and succeeds" \
    maintainer_script postinst configure
check "postrm forgets the udev rule only where udev runs, and succeeds" \
    maintainer_script postrm remove
check "postinst reloads the rules and replays the receiver's devices" \
    grep -q "udevadm trigger --subsystem-match=hidraw" "$work/control/postinst"

# ---- files ----------------------------------------------------------------
dpkg -x "$deb" "$root"
installed=(
    usr/bin/Lumora usr/bin/penlynx-monitor
    "usr/lib/$multiarch/libPenlynx.so.$version" "usr/lib/$multiarch/libPenlynx.so.1"
    "usr/lib/$multiarch/libPenlynx.so" usr/include/penlynx.h
    "usr/lib/$multiarch/pkgconfig/penlynx.pc"
    "usr/lib/$multiarch/cmake/Penlynx/PenlynxConfig.cmake"
    "usr/lib/$multiarch/cmake/Penlynx/PenlynxConfigVersion.cmake"
    "usr/lib/$multiarch/cmake/Penlynx/PenlynxTargets.cmake"
    usr/share/lumora/Language/zh_CN/Language.xml usr/share/lumora/Language/en_US/Language.xml
    usr/lib/udev/rules.d/60-penlynx.rules
    usr/share/applications/org.lumora.lumora.desktop
    usr/share/metainfo/org.lumora.lumora.metainfo.xml
    usr/share/man/man1/Lumora.1.gz usr/share/man/man1/penlynx-monitor.1.gz
)
for size in 16 22 24 32 48 64 128 256; do
    installed+=("usr/share/icons/hicolor/${size}x$size/apps/lumora.png")
done
all_there() {
    local missing=0
    for f in "${installed[@]}"; do
        [ -e "$root/$f" ] || { echo "missing: $f"; missing=1; }
    done
    return $missing
}
check "every installed file is in the package" all_there
# Every library the installed programs and library link, other than the
# package's own, belongs to a package that Depends names; so do the plugins
# Qt loads without a link.
linked_packages() {
    local soname path
    for binary in "$root/usr/bin/Lumora" "$root/usr/bin/penlynx-monitor" "$lib/libPenlynx.so.1"; do
        objdump -p "$binary" | awk '/NEEDED/ {print $2}'
    done | sort -u | while read -r soname; do
        [ "$soname" = libPenlynx.so.1 ] && continue
        # The machine's own copy, for this architecture (ldconfig's cache).
        path=$(ldconfig -p | awk -v so="$soname" '$1 == so && /x86-64|64bit|AArch64/ {print $NF; exit}')
        [ -n "$path" ] || { echo "unresolved:$soname"; continue; }
        dpkg -S "$path" 2>/dev/null || dpkg -S "$(realpath "$path")" || echo "unowned:$soname"
    done | cut -d: -f1 | sort -u
}
computed_dependencies() {
    local packages
    mapfile -t packages < <(linked_packages)
    echo "linked: ${packages[*]}"
    [ "${#packages[@]}" -ge 5 ] && ! grep -Eq "unresolved|unowned" <<<"${packages[*]}" || return 1
    local plugins=(qt6-qpa-plugins)
    ldd "$root/usr/bin/Lumora" | grep -q libQt6Sql && plugins+=(libqt6sql6-sqlite)
    depends_on "${packages[@]}" "${plugins[@]}"
}
check "Depends names the package of every linked library and Qt's plugins" computed_dependencies
check "the library's soname is libPenlynx.so.1" \
    bash -c "objdump -p '$lib/libPenlynx.so.$version' | grep -Eq 'SONAME +libPenlynx\.so\.1$'"
check "the programs and the library are stripped" \
    bash -c "file -L '$root/usr/bin/Lumora' '$root/usr/bin/penlynx-monitor' '$lib/libPenlynx.so.1' | tee /dev/stderr | grep -c ', stripped' | grep -qx 3"
icon_sizes() {
    for size in 16 22 24 32 48 64 128 256; do
        file "$root/usr/share/icons/hicolor/${size}x$size/apps/lumora.png" |
            grep -q "PNG image data, $size x $size, 8-bit/color RGBA" || return 1
    done
}
check "the icons are RGBA PNGs of their folder's size" icon_sizes
check "the installed desktop entry validates" \
    desktop-file-validate "$root/usr/share/applications/org.lumora.lumora.desktop"
check "the installed metainfo validates" \
    appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/org.lumora.lumora.metainfo.xml"
check "the man pages open" \
    bash -c "man -l '$root/usr/share/man/man1/Lumora.1.gz' | grep -q -- '--data-dir' &&
             man -l '$root/usr/share/man/man1/penlynx-monitor.1.gz' | grep -q -- '--summary'"

# ---- the installed programs --------------------------------------------------
loads_unpacked_library() {
    for program in Lumora penlynx-monitor; do
        local found
        found=$(ldd "$root/usr/bin/$program" | sed -n 's/^\s*libPenlynx\.so\.1 => \(\S*\) .*/\1/p')
        echo "$program: $found"
        [ -n "$found" ] && [ "$(realpath "$found")" = "$(realpath "$lib/libPenlynx.so.1")" ] || return 1
    done
}
check "both programs load the library of the unpacked root" loads_unpacked_library
check "Lumora --version" test "$(env -u DISPLAY "$root/usr/bin/Lumora" --version)" = "Lumora $version"
check "penlynx-monitor --version" \
    test "$("$root/usr/bin/penlynx-monitor" --version)" = "penlynx-monitor $version"
check "penlynx-monitor hears a simulated class" \
    bash -c "PENLYNX_RECEIVER=sim:tablets=30,seed=3 '$root/usr/bin/penlynx-monitor' --summary --seconds 3.5 |
             tee /dev/stderr | grep -Eq '^second 3: receiving, [1-9][0-9]* tablets heard'"

# The scripted lesson on a simulated class, in a fresh home: the data folder
# is the per-user one, with a demo roster; its languages are seeded from the
# installed ones (marked here so that the copy can be told from the built-in one).
home=$work/home
user_data=$home/.local/share/Lumora/Lumora
bash "$top/scripts/demo-data.sh" "$user_data"
echo "<!-- from the installed folder -->" >>"$root/usr/share/lumora/Language/en_US/Language.xml"
tour() {
    env -i PATH="$PATH" HOME="$home" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb \
        PENLYNX_RECEIVER=sim LUMORA_ANSWER_PROMPTS=ok \
        xvfb-run -a -s "-screen 0 1920x1080x24" \
        timeout 240 "$root/usr/bin/Lumora" --tour "$kept/tour" >"$kept/tour.log" 2>&1
    local status=$?
    cat "$kept/tour.log"
    [ "$status" -eq 0 ] || { echo "Lumora exited with $status"; return 1; }
    local pictures
    mapfile -t pictures < <(sed -n 's/^tour: \(.*\.png\)$/\1/p' "$kept/tour.log")
    [ "${#pictures[@]}" -ge 5 ] || { echo "${#pictures[@]} pictures announced"; return 1; }
    for picture in "${pictures[@]}"; do
        case "$picture" in "$kept/tour/"*) ;; *) echo "$picture is elsewhere"; return 1 ;; esac
        file "$picture" | grep -q "PNG image data, 1920 x 1080" || { file "$picture"; return 1; }
        [ "$(stat -c %s "$picture")" -gt 8000 ] || { echo "$picture is nearly empty"; return 1; }
    done
}
mkdir -m 700 -p "$work/run"
check "the installed Lumora runs its tour on a simulated class under Xvfb" tour
check "the user's data folder was seeded from the installed languages" \
    grep -q "from the installed folder" "$user_data/Language/en_US/Language.xml"
check "the roster was kept" grep -q "CardID=30" "$user_data/StudentInfo.ini"

# ---- building against the installed library ------------------------------------
mkdir -p "$work/pc"
pc_build() {
    export PKG_CONFIG_PATH=$lib/pkgconfig
    local flags
    flags=$(pkg-config --cflags --libs penlynx) || return 1
    echo "pkg-config: $flags"
    [ "$(pkg-config --modversion penlynx)" = "$version" ] || { echo "wrong version"; return 1; }
    # Every path it gives is inside the unpacked root.
    for word in $flags; do
        case "$word" in -I* | -L*) [[ "$word" == -?"$root/"* ]] || { echo "outside: $word"; return 1; } ;; esac
    done
    cc -std=c11 -Wall -Wextra -Werror "$top/tests/packaging/consumer/consumer.c" $flags \
        -o "$work/pc/consumer" &&
        PENLYNX_RECEIVER=sim LD_LIBRARY_PATH=$lib "$work/pc/consumer"
}
check "a C program built with pkg-config --cflags --libs penlynx runs" pc_build

cmake_build() {
    cmake -S "$top/tests/packaging/consumer" -B "$work/cmake" -G Ninja \
        -DCMAKE_PREFIX_PATH="$root/usr" -DEXPECTED_PREFIX="$root/usr" &&
        cmake --build "$work/cmake" &&
        PENLYNX_RECEIVER=sim "$work/cmake/consumer"
}
check "a C program built with find_package(Penlynx) runs" cmake_build
too_new() {
    ! cmake -S "$top/tests/packaging/consumer" -B "$work/cmake-too-new" -G Ninja \
        -DCMAKE_PREFIX_PATH="$root/usr" -DPENLYNX_WANTED=2.0
}
check "find_package(Penlynx 2.0) refuses the 1.x package" too_new

summary check-package
