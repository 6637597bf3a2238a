#!/usr/bin/env bash
# Builds and runs every test: the portable core and its unit tests natively, then the Windows
# build, whose unit tests and Win32 tests run under Wine. Exits non-zero on any failure; the test
# summary is the last thing printed.
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

run_preset native
run_preset mingw

# Leave no Wine server or display of the test prefix running.
WINEPREFIX="$PWD/build/mingw/wineprefix" scripts/wine-run.sh --stop </dev/null || true

if ((failed)); then
    # The last run's summary alone could read as a success; repeat both.
    echo
    for preset in "${build_failed[@]}"; do echo "$preset: build failed"; done
    for preset in native mingw; do
        if [[ -f "build/ctest-$preset.log" ]]; then
            echo "$preset:"
            sed -n '/tests passed, /,$p' "build/ctest-$preset.log"
        fi
    done
fi
exit "$failed"
