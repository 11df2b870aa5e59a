#!/usr/bin/env bash
# Installs the Debian packages the build, tests, packages and demo need;
# installs only what is missing, so a second run costs a few dpkg queries.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libqcustomplot-dev
    libhidapi-dev libpugixml-dev libsimpleini-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-wqy-zenhei xvfb xauth x11-apps imagemagick
    libqt6sql6-sqlite libxlsxwriter-dev unzip xlsx2csv qt6-translations-l10n
    dpkg-dev file desktop-file-utils appstream groff-base man-db ccache
)
[ "$#" -gt 0 ] && packages+=("$@")

exec bash "$(dirname "$0")/install-packages.sh" setup "${packages[@]}"
