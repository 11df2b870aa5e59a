#!/usr/bin/env bash
# Starts Lumora on a fresh demo data folder with a simulated class of 30
# tablets. Without a display it runs a scripted lesson under Xvfb and saves a
# picture of every view instead.
set -euo pipefail
build=${1:-build}
top=$(cd "$(dirname "$0")/.." && pwd)
data="$top/$build/demo-data"
tour="$top/$build/tour"
program="$top/$build/bin/Lumora"
[ -x "$program" ] || { echo "demo: $program is not built" >&2; exit 1; }

rm -rf "$data"
bash "$top/scripts/demo-data.sh" "$data"

export PENLYNX_RECEIVER=${PENLYNX_RECEIVER:-sim:tablets=30,absent=3}
if [ -n "${DISPLAY:-}" ] && [ -z "${LUMORA_DEMO_TOUR:-}" ]; then
    echo "demo: starting Lumora with a simulated class of 30 (data in $data)"
    exec "$program" --data-dir "$data"
fi
rm -rf "$tour"
mkdir -p "$tour"
echo "demo: no display; running the scripted lesson under Xvfb"
xvfb-run -a -s "-screen 0 1920x1080x24" "$program" --data-dir "$data" --tour "$tour"
echo "demo: pictures of every view are in $tour:"
ls -1 "$tour"
