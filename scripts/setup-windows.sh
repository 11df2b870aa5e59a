#!/usr/bin/env bash
# Installs what the Windows cross-build and its check under Wine need (the
# mingw-w64 toolchain for 32-bit Windows, Wine with its i386 part), then makes
# the Wine prefix. Installs only what is missing; asks nothing.
#
# usage: scripts/setup-windows.sh [BUILD_DIR]   (default build-windows)
# The Wine prefix is BUILD_DIR/wineprefix, where the build's tests look for it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}

packages=(cmake ninja-build gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix wine wine32:i386)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup-windows: adding the i386 architecture"
    $sudo dpkg --add-architecture i386
fi
missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "setup-windows: installing ${missing[*]}"
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

mkdir -p "$build"
export WINEPREFIX="$(realpath "$build")/wineprefix"
export WINEARCH=win32 WINEDEBUG=-all
# Console programs need no display.
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "setup-windows: making the Wine prefix $WINEPREFIX"
    # Without Mono and Gecko: they cannot be fetched here and nothing needs them.
    WINEDLLOVERRIDES="mscoree=;mshtml=" wineboot -i >/dev/null 2>&1
    wineserver -w
fi
