#!/usr/bin/env bash
# The Windows bundle as a user gets it: the zip unpacked, its file list, each
# folder's DLL of the right architecture with the five plain exports, and the
# README's instructions followed under Wine: a program built against the
# folder's header and import library, put beside the DLL, runs on a simulated
# class, and so does the folder's penlynx-monitor.exe.
#
# usage: tests/packaging/check_windows_bundle.sh BUILD32 BUILD64
#        (after make package-windows; the Wine prefixes are those of the builds)
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build32=$(cd "${1:-build-windows}" && pwd)
build64=$(cd "${2:-build-windows64}" && pwd)
version=$(sed -n 's/^#define LUMORA_VERSION "\(.*\)"$/\1/p' "$build32/generated/LumoraVersion.h")
zip=$build32/Penlynx-$version-windows.zip
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY

# shellcheck source=checks.sh
. "$top/tests/packaging/checks.sh"

unzip -q "$zip" -d "$work" || { echo "check-windows-bundle: cannot unpack $zip" >&2; exit 1; }
bundle=$work/Penlynx-$version-windows
file_list() {
    local expected actual
    expected=$(printf '%s\n' README.txt \
        {x86,x64}/{Penlynx.dll,Penlynx.def,libPenlynx.dll.a,penlynx.h,penlynx-monitor.exe} | sort)
    actual=$(cd "$bundle" && find . -type f | sed 's|^\./||' | sort)
    diff <(echo "$expected") <(echo "$actual")
}
check "the zip holds README.txt and the same five files for x86 and x64" file_list
check "README.txt has Windows line ends and names both folders" \
    bash -c "grep -c \$'\\r\$' '$bundle/README.txt' | grep -qv '^0\$' &&
             ! grep -q \$'[^\\r]\$' '$bundle/README.txt' &&
             grep -q 'x86\\\\' '$bundle/README.txt' && grep -q 'x64\\\\' '$bundle/README.txt'"
check "both folders hold the same header" cmp "$bundle/x86/penlynx.h" "$top/receiver/include/penlynx.h"
check "both folders hold the same header (x64)" cmp "$bundle/x64/penlynx.h" "$top/receiver/include/penlynx.h"

# arch TRIPLE FORMAT BUILD WINEARCH
for row in "x86 i686-w64-mingw32 pei-i386 $build32 win32" \
    "x64 x86_64-w64-mingw32 pei-x86-64 $build64 win64"; do
    read -r arch triple format build winearch <<<"$row"
    folder=$bundle/$arch
    check "$arch: Penlynx.dll is $format with exactly the five plain exports, system imports only" \
        cmake -DOBJDUMP="$triple-objdump" -DFILE="$folder/Penlynx.dll" -DFORMAT="$format" \
        "-DEXPORTS=SDKClear;SDKDraw;SDKGetID;SDKIni;SDKRegCallBack" \
        -P "$top/tests/windows/check_pe.cmake"
    check "$arch: penlynx-monitor.exe is $format" \
        cmake -DOBJDUMP="$triple-objdump" -DFILE="$folder/penlynx-monitor.exe" -DFORMAT="$format" \
        -P "$top/tests/windows/check_pe.cmake"
    check "$arch: Penlynx.def lists the five exports" \
        bash -c "sed -n '/^EXPORTS/,\$p' '$folder/Penlynx.def' | grep -Ec '^ +SDK(Ini|GetID|RegCallBack|Clear|Draw)(@[0-9]+)?\$' | grep -qx 5"

    if ! bash "$top/scripts/wine.sh" --runs "$winearch"; then
        echo "skipped: $arch: this machine cannot run $winearch programs under Wine"
        continue
    fi
    wine_env=(env WINEPREFIX="$build/wineprefix" WINEARCH="$winearch" WINEDEBUG=-all)
    check "$arch: penlynx-monitor.exe --version" \
        bash -c "${wine_env[*]} bash '$top/scripts/wine.sh' '$folder/penlynx-monitor.exe' --version | tr -d '\\r' | grep -qx 'penlynx-monitor $version'"
    check "$arch: penlynx-monitor.exe hears a simulated class" \
        bash -c "PENLYNX_RECEIVER=sim:tablets=30,seed=3 ${wine_env[*]} bash '$top/scripts/wine.sh' '$folder/penlynx-monitor.exe' --summary --seconds 3.5 |
                 tr -d '\\r' | tee /dev/stderr | grep -Eq '^second 3: receiving, [1-9][0-9]* tablets heard'"
    # Built against the folder's header and import library, then put beside the DLL.
    check "$arch: a C program linked with libPenlynx.dll.a runs beside Penlynx.dll" \
        bash -c "$triple-gcc-posix -std=c11 -Wall -Wextra -Werror -static-libgcc -I'$folder' \
                     '$top/tests/packaging/consumer/consumer.c' -L'$folder' -lPenlynx -o '$folder/consumer.exe' &&
                 cmake -DOBJDUMP=$triple-objdump -DFILE='$folder/consumer.exe' -DFORMAT=$format \
                     -P '$top/tests/windows/check_pe.cmake' | grep -q 'imports:.*Penlynx.dll' &&
                 cd '$folder' && PENLYNX_RECEIVER=sim ${wine_env[*]} bash '$top/scripts/wine.sh' consumer.exe"
done

summary check-windows-bundle
