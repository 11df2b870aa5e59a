#!/usr/bin/env bash
# Runs the classroom benchmark of the Windows program under 64-bit Wine, from
# the program's installed folder (BUILD/stage, which the installer target
# makes), on Qt's offscreen platform with the WenQuanYi fonts; Google
# Benchmark JSON goes to BUILD/bench/bench_classroom.json.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build-windows-program}" && pwd)
if ! bash "$top/scripts/wine.sh" --runs win64; then
    echo "run-bench-windows: skipped: this machine cannot run 64-bit Windows programs under Wine"
    exit 0
fi
mkdir -p "$build/bench"
cp "$build/bin/bench_classroom.exe" "$build/stage/"
export WINEPREFIX=$build/wineprefix WINEARCH=win64 WINEDEBUG=-all
export WINEQT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\wqy'
unset DISPLAY WAYLAND_DISPLAY
cd "$build/stage"
status=0
timeout 900 bash "$top/scripts/wine.sh" ./bench_classroom.exe --benchmark_counters_tabular=true \
    --benchmark_out='Z:'"$build/bench/bench_classroom.json" --benchmark_out_format=json || status=$?
wineserver -k 2>/dev/null || true
rm -f "$build/stage/bench_classroom.exe" "$build/stage/lumora-bench-screen.json"
exit $status
