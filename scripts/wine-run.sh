#!/usr/bin/env bash
# Runs a Windows program under Wine in $WINEPREFIX, fast enough for one process per test: the
# build's test emulator.
#
#   WINEPREFIX=<dir> wine-run.sh program.exe [args...]
#
# The prefix, its display, server and keep-alive are scripts/wine-prefix.sh's business; when they
# already run (the common case) this only execs wine.
set -euo pipefail

readonly prefix="${WINEPREFIX:?WINEPREFIX must name the prefix folder}"
readonly state="$prefix.run"
readonly log="$state/wine-run.log"
export WINEDEBUG="${WINEDEBUG:--all}"

# Runs the program and passes its exit code on. A failure is noted in the log with its code, time
# and the end of its error output, so that a program that ended before it could print anything
# still leaves a trace.
#
# With WINE_RUN_RETRIES=n (the build's test emulator) a run that failed before the program wrote
# anything to standard output is started again, up to n times. Every test program prints as soon
# as its main function runs, so such a run never reached the program: Wine itself failed to start
# it (seen rarely on a loaded machine, as exit code 127 within 0.1 s). A program that fails by
# itself fails the same way again, and the last exit code is passed on.
run_program() {
    local retries="${WINE_RUN_RETRIES:-0}" status out err
    out="$(mktemp)"
    err="$(mktemp)"
    trap 'rm -f "$out" "$err"' EXIT
    while :; do
        local start="$EPOCHREALTIME" tee_out tee_err o e
        status=0
        exec {o}> >(tee -- "$out")
        tee_out=$!
        exec {e}> >(tee -- "$err" >&2)
        tee_err=$!
        wine "$@" >&$o 2>&$e || status=$?
        exec {o}>&- {e}>&-
        ((status != 0)) || break
        # The copies are complete once every holder of wine's descriptors has ended.
        wait "$tee_out" "$tee_err" 2>/dev/null || true
        {
            echo "wine-run.sh: exit code $status after $(elapsed_since "$start") s: $*"
            tail -n 5 "$err" | sed 's/^/wine-run.sh:   stderr: /'
        } >>"$log"
        [[ ! -s "$out" ]] && ((retries-- > 0)) || break
        echo "wine-run.sh: nothing on standard output; running it again" >>"$log"
        : >"$err"
    done
    exit "$status"
}

# Seconds since an $EPOCHREALTIME value, to the millisecond.
elapsed_since() {
    local now="$EPOCHREALTIME" from="$1"
    local micros=$(((${now/./} - ${from/./})))
    printf '%d.%03d' $((micros / 1000000)) $((micros % 1000000 / 1000))
}

(($#)) || { echo "usage: WINEPREFIX=<dir> $0 program.exe [args...]" >&2; exit 2; }
# True when the keep-alive process of the prefix runs on the display asked for (builtins only).
keepalive_runs() {
    local pid display
    local -a args
    [[ -e "$state/booted" && -s "$state/keepalive" ]] && read -r pid display <"$state/keepalive" &&
        [[ -z "${DISPLAY:-}" || "$DISPLAY" == "$display" ]] &&
        mapfile -d '' -t args <"/proc/$pid/cmdline" 2>/dev/null && [[ "${args[*]}" == *cmd.exe* ]] &&
        export DISPLAY="$display"
}

if ! keepalive_runs; then
    DISPLAY="$("$(dirname "$0")/wine-prefix.sh" start "$prefix")"
    export DISPLAY
fi
run_program "$@"
