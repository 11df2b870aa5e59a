#!/usr/bin/env bash
# Installs what the Windows cross-builds and their checks under Wine need (the
# mingw-w64 toolchains for 32-bit and 64-bit Windows, Wine with its i386 and
# amd64 parts, zip for the bundle, NSIS for the program's installer), then
# makes the build's Wine prefix. Installs only what is missing; asks nothing.
#
# usage: scripts/setup-windows.sh [BUILD_DIR [win32|win64]]
#        (default build-windows win32)
# The Wine prefix is BUILD_DIR/wineprefix, where the build's tests look for it;
# a 64-bit build needs a win64 prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
arch=${2:-win32}
case "$arch" in
win32 | win64) ;;
*) echo "setup-windows: the architecture is win32 or win64, not '$arch'" >&2; exit 2 ;;
esac

packages=(cmake ninja-build zip unzip
    gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix
    gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
    wine wine32:i386 wine64
    nsis)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup-windows: adding the i386 architecture"
    $sudo dpkg --add-architecture i386
fi
bash scripts/install-packages.sh setup-windows "${packages[@]}"

mkdir -p "$build"
WINEPREFIX="$(realpath "$build")/wineprefix"
export WINEPREFIX
export WINEARCH=$arch WINEDEBUG=-all
# Console programs need no display.
unset DISPLAY WAYLAND_DISPLAY
if ! bash scripts/wine.sh --runs "$arch"; then
    echo "setup-windows: this machine cannot run $arch programs (its kernel does not" \
        "execute Wine's loader for them): the $arch build is made and its files are" \
        "checked, its runs under Wine are skipped"
    exit 0
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "setup-windows: making the $arch Wine prefix $WINEPREFIX"
    # Without Mono and Gecko: they cannot be fetched here and nothing needs them.
    WINEDLLOVERRIDES="mscoree=;mshtml=" bash scripts/wine.sh wineboot -i >/dev/null 2>&1
    wineserver -w
fi
