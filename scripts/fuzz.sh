#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/, clang with AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs them side by side, each for a bounded wall-clock time. Fails when a target finds a
# crash or a broken invariant; the input that did it is kept in build/fuzz/artifacts/.
#
#   scripts/fuzz.sh [seconds] [target ...]     seconds per target (default 60); targets: datafile,
#                                               ini, options (default all)
#   FUZZ_RUNS=10000000 scripts/fuzz.sh 0 ini   a number of executions instead of a time
#
# The corpus grows in build/fuzz/corpus/<target>, seeded from the hand-made fuzz/corpus/<target>.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
shift || true
targets=("$@")
((${#targets[@]})) || targets=(datafile ini options)
readonly build=build/fuzz

command -v clang++ >/dev/null || {
    echo "fuzz.sh: clang++ is needed (apt-get install clang)" >&2
    exit 1
}
if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        </dev/null >/dev/null
fi
cmake --build "$build" -j2 </dev/null >/dev/null

# A smaller quarantine keeps the fuzzers fast (fewer page faults) and still finds use after free
# of recent allocations; every report ends the run.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=8:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"

limit=(-max_total_time="$seconds")
[[ -n "${FUZZ_RUNS:-}" ]] && limit=(-runs="$FUZZ_RUNS")

for target in "${targets[@]}"; do
    [[ -x "$build/fuzz_$target" && -d "fuzz/corpus/$target" ]] || {
        echo "fuzz.sh: no target $target" >&2
        exit 1
    }
done

# Runs one target; its verdict goes to $build/fuzz-<target>.result for the summary below.
run_target() {
    local target="$1" corpus="$build/corpus/$1" artifacts="$build/artifacts/$1"
    local log="$build/fuzz-$1.log" result="$build/fuzz-$1.result" start=$SECONDS
    mkdir -p "$corpus" "$artifacts"
    if "$build/fuzz_$target" "${limit[@]}" -max_len=1024 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$corpus" "fuzz/corpus/$target" </dev/null >"$log" 2>&1; then
        runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
        echo "=== fuzz $target: passed, ${runs:-?} executions in $((SECONDS - start)) s" >"$result"
    else
        {
            grep -E 'ERROR|invariant failed|SUMMARY|Test unit written' "$log" || tail -20 "$log"
            echo "=== fuzz $target: FAILED (log $log)"
        } >"$result"
    fi
}

# Side by side, the stage costs one bound instead of one for each target.
echo "=== fuzz ${targets[*]}: ${FUZZ_RUNS:+$FUZZ_RUNS runs}${FUZZ_RUNS:-$seconds s} each"
for target in "${targets[@]}"; do
    rm -f "$build/fuzz-$target.result"
    run_target "$target" &
done
wait

failed=()
for target in "${targets[@]}"; do
    result="$build/fuzz-$target.result"
    if [[ -f "$result" ]] && tail -1 "$result" | grep -q ': passed,'; then
        cat "$result"
    else
        cat "$result" >&2 2>/dev/null || echo "=== fuzz $target: FAILED (no verdict)" >&2
        failed+=("$target")
    fi
done

if ((${#failed[@]})); then
    echo "fuzz.sh: failed: ${failed[*]}" >&2
    exit 1
fi
