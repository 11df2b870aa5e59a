#!/usr/bin/env bash
# Runs a Windows program under Wine with the loader of the prefix's
# architecture (WINEARCH, default win32): Debian's `wine` always starts the
# 32-bit loader when it is installed, which fails outright on a kernel that
# cannot run 32-bit programs, even for a 64-bit program in a win64 prefix.
#
# usage: scripts/wine.sh PROGRAM [ARGS...]
#        scripts/wine.sh --runs win32|win64
#          exit 0 when this machine can run that architecture's Wine loader
# A program of an architecture the machine cannot run ends with exit status 77
# and says so (the Windows checks count that as skipped, not failed).
set -uo pipefail
loader_of() {
    case "$1" in
    win64) echo /usr/lib/wine/wine64 ;;
    *) echo /usr/lib/wine/wine ;;
    esac
}

runs() {
    local loader
    loader=$(loader_of "$1")
    [ -x "$loader" ] && WINEDEBUG=-all "$loader" --version >/dev/null 2>&1
}

if [ "${1:-}" = "--runs" ]; then
    runs "${2:-win32}"
    exit
fi

arch=${WINEARCH:-win32}
loader=$(loader_of "$arch")
if [ ! -x "$loader" ]; then
    # Not Debian's layout: leave the choice to the system's wine.
    exec wine "$@"
fi
if ! runs "$arch"; then
    echo "wine.sh: this machine cannot run $arch programs: its kernel does not execute $loader" >&2
    exit 77
fi
export WINELOADER=$loader
exec "$loader" "$@"
