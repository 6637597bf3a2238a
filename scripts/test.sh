#!/usr/bin/env bash
# Builds and runs every test: the portable core and its unit tests natively, the same under
# AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz targets for a bounded time each
# (TRAYHOUND_FUZZ_SECONDS, default 60), then the Windows build, whose unit tests and Win32 tests
# run under Wine. Exits non-zero on any failure; the test summary is the last thing printed.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

scripts/deps.sh </dev/null || exit 1

failed=0
build_failed=()

# Configures, builds and tests one preset; its ctest output is kept for the closing summary.
run_preset() {
    local preset="$1" log="build/ctest-$1.log"
    mkdir -p build
    rm -f "$log"
    echo "=== $preset: configure and build"
    if ! cmake --preset "$preset" </dev/null || ! cmake --build --preset "$preset" </dev/null; then
        echo "=== $preset: build failed"
        failed=1
        build_failed+=("$preset")
        return
    fi
    echo "=== $preset: tests"
    ctest --preset "$preset" </dev/null 2>&1 | tee "$log"
    ((PIPESTATUS[0] == 0)) || failed=1
}

# The fuzz targets, each for a bounded time; a crash or a broken invariant fails the run.
run_fuzz() {
    local log="build/fuzz.log"
    echo "=== fuzz: ${TRAYHOUND_FUZZ_SECONDS:-60} s per target"
    scripts/fuzz.sh "${TRAYHOUND_FUZZ_SECONDS:-60}" </dev/null 2>&1 | tee "$log"
    ((PIPESTATUS[0] == 0)) || failed=1
}

# How long each part took, for the closing lines.
timings=()
timed() {
    local start=$SECONDS
    "$@"
    timings+=("$* $((SECONDS - start)) s")
}

timed run_preset native
timed run_preset native-asan
timed run_fuzz
# The Wine runner's log of this run only.
wine_log=build/mingw/wineprefix.run/wine-run.log
if [[ -f "$wine_log" ]]; then : >"$wine_log"; fi
timed run_preset mingw

# Leave no Wine server or display of the test prefix running.
WINEPREFIX="$PWD/build/mingw/wineprefix" scripts/wine-run.sh --stop </dev/null || true

echo
for timing in "${timings[@]}"; do echo "time: $timing"; done
if ((failed)); then
    echo
    for preset in "${build_failed[@]}"; do echo "$preset: build failed"; done
    [[ -f build/fuzz.log ]] && grep -E '^(=== fuzz .*(passed|FAILED)|fuzz.sh: failed)' build/fuzz.log
fi
# What the Wine runner did (restarts, failed runs, runs it started again) explains failures that
# no test printed.
if [[ -f "$wine_log" ]] && { ((failed)) || grep -q 'running it again' "$wine_log"; }; then
    echo "wine-run.sh log:"
    grep '^wine-run.sh' "$wine_log" | tail -30
fi
# Every run's own summary, the Windows build's last: one alone could read as a success.
echo
for preset in native native-asan mingw; do
    if [[ -f "build/ctest-$preset.log" ]]; then
        echo "$preset:"
        sed -n '/tests passed, /,$p' "build/ctest-$preset.log"
    fi
done
exit "$failed"
