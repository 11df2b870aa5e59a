#!/bin/sh
# Writes the uninstaller's part of Lumora.nsi for the folder that is
# installed: one Delete for each file, then one RMDir for each folder, deepest
# first, so the uninstaller removes exactly what the installer put there and
# nothing a user added beside it.
#
# usage: uninstall-list.sh STAGE OUTPUT
set -eu
stage=$1
output=$2
[ -f "$stage/Lumora.exe" ] || { echo "uninstall-list: no Lumora.exe in $stage" >&2; exit 1; }
cd "$stage"
{
    find . -type f | LC_ALL=C sort | sed 's|^\./||; s|/|\\|g; s|.*|Delete "$INSTDIR\\&"|'
    find . -mindepth 1 -type d | LC_ALL=C sort -r | sed 's|^\./||; s|/|\\|g; s|.*|RMDir "$INSTDIR\\&"|'
} >"$output"
