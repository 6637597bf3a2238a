#!/usr/bin/env bash
# Builds and runs every test, in three stages: the portable core's unit tests natively under
# AddressSanitizer and UndefinedBehaviorSanitizer; the fuzz targets for a bounded time each
# (TRAYHOUND_FUZZ_SECONDS, default 30); the Windows build, whose Win32 tests, crash test,
# end-to-end tests and install round trip run under Wine. Exits non-zero on any failure; the
# summaries of the test runs are the last thing printed.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

scripts/deps.sh </dev/null || exit 1

failed=0
summaries=()

# Configures, builds and tests one preset; its ctest summary is kept for the end.
run_preset() {
    local preset="$1" log="build/ctest-$1.log"
    mkdir -p build
    rm -f "$log"
    echo "=== $preset: configure and build"
    if ! cmake --preset "$preset" </dev/null || ! cmake --build --preset "$preset" </dev/null; then
        summaries+=("$preset: build failed")
        failed=1
        return
    fi
    echo "=== $preset: tests"
    ctest --preset "$preset" </dev/null 2>&1 | tee "$log"
    ((PIPESTATUS[0] == 0)) || failed=1
    summaries+=("$preset: $(sed -n '/tests passed, /,$p' "$log")")
}

run_fuzz() {
    local log="build/fuzz.log"
    echo "=== fuzz: ${TRAYHOUND_FUZZ_SECONDS:-30} s per target"
    scripts/fuzz.sh "${TRAYHOUND_FUZZ_SECONDS:-30}" </dev/null 2>&1 | tee "$log"
    ((PIPESTATUS[0] == 0)) || failed=1
    summaries+=("fuzz: $(grep -E '^=== fuzz .*(passed|FAILED)' "$log")")
}

timings=()
timed() {
    local start=$SECONDS
    "$@"
    timings+=("$1 $((SECONDS - start)) s")
}

timed run_preset native
timed run_fuzz
wine_log=build/mingw/wineprefix.run/wine-run.log
[[ -f "$wine_log" ]] && : >"$wine_log"
timed run_preset mingw
# Nothing of the test prefix keeps running, also after an interrupted run.
scripts/wine-prefix.sh stop build/mingw/wineprefix </dev/null || true

echo
for timing in "${timings[@]}"; do echo "time: $timing"; done
# What the Wine runner did (runs it started again) explains failures that no test printed.
if [[ -f "$wine_log" ]] && { ((failed)) || grep -q 'running it again' "$wine_log"; }; then
    echo "wine-run.sh log:"
    grep '^wine-run.sh' "$wine_log" | tail -30
fi
echo
printf '%s\n' "${summaries[@]}"
exit "$failed"
