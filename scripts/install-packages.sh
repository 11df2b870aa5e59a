#!/usr/bin/env bash
# Installs those of the named Debian packages that are not installed yet, with
# apt-get as root (or through sudo), asking nothing; when all are there it
# costs a few dpkg queries.
#
# usage: scripts/install-packages.sh CALLER PACKAGE...
#        (CALLER names the script that asks, in the message it prints)
set -euo pipefail
caller=$1
shift

missing=()
for p in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ "${#missing[@]}" -eq 0 ] && exit 0

echo "$caller: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
