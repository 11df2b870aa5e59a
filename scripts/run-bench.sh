#!/usr/bin/env bash
# Runs every benchmark program of a build and writes one JSON file per program
# under BUILD/bench/.
set -euo pipefail
build=${1:-build}
mkdir -p "$build/bench"
shopt -s nullglob
found=0
for program in "$build"/bin/bench_*; do
    [ -x "$program" ] || continue
    found=1
    name=$(basename "$program")
    echo "== $name"
    "$program" --benchmark_out="$build/bench/$name.json" --benchmark_out_format=json \
        --benchmark_counters_tabular=true
done
[ "$found" -eq 1 ] || { echo "no benchmark programs in $build/bin" >&2; exit 1; }
echo "JSON written to $build/bench/"
