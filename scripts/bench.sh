#!/usr/bin/env bash
# Measures Trayhound and prints one short Markdown table at the end: data-file load and save and
# INI lookups natively (Google Benchmark), then under Wine the programs-menu rebuild and the
# start-to-icon time and private memory beside a minimal tray program. A report, not a test: it
# is not part of scripts/test.sh. Builds what it needs in build/bench and build/mingw.
#
#   scripts/bench.sh [starts per program]   (default 7; every figure is a median)
set -euo pipefail
cd "$(dirname "$0")/.."

readonly starts="${1:-7}"
readonly repetitions=5

scripts/deps.sh </dev/null

echo "=== native: build"
cmake --preset bench </dev/null >/dev/null
cmake --build --preset bench --target trayhound_bench </dev/null

echo "=== mingw: build"
cmake --preset mingw -DTRAYHOUND_BUILD_BENCH=ON </dev/null >/dev/null
cmake --build --preset mingw --target Trayhound minimal_tray window_tool menu_rebuild_bench \
    th-probe th-inject </dev/null

echo "=== native: data file and INI benchmarks ($repetitions repetitions each)"
build/bench/bench/trayhound_bench --benchmark_repetitions="$repetitions" \
    --benchmark_report_aggregates_only=true --benchmark_out=build/bench-native.json \
    --benchmark_out_format=json </dev/null

echo "=== Wine: $starts starts of each program, then the menu rebuild"
python3 bench/wine_bench.py build/mingw "$starts" </dev/null >build/bench-wine.json

echo
python3 bench/report.py build/bench-native.json build/bench-wine.json
