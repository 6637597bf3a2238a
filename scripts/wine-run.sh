#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix, fast enough for one process per test.
#
#   WINEPREFIX=<dir> wine-run.sh program.exe [args...]  run it (the build's test emulator)
#   WINEPREFIX=<dir> wine-run.sh --prepare               boot the prefix and start its server
#   WINEPREFIX=<dir> wine-run.sh --clone <dir>           make <dir> a fresh copy of the booted prefix
#   WINEPREFIX=<dir> wine-run.sh --display               print the X display the prefix uses
#   WINEPREFIX=<dir> wine-run.sh --stop                  end the prefix's server and keep-alive,
#                                                        and the Xvfb display this prefix started
#
# The prefix is booted once, under a lock, and gets a few settings that tests rely on: no window
# manager mode (Managed=N), no crash dialog, no menu builder, real folders instead of links into
# $HOME. Its state lives beside it in <prefix>.run/.
#
# ctest waits until every process holding a test's output pipe has ended. A test's first Wine
# process would otherwise start wineserver, services.exe and explorer.exe with that pipe, and they
# live on for seconds. So a persistent wineserver and a keep-alive process are started once, with
# no inherited descriptors, and every later run only execs wine.
set -euo pipefail

readonly prefix="${WINEPREFIX:?WINEPREFIX must name the prefix folder}"
readonly state="$prefix.run"
export WINEDEBUG="${WINEDEBUG:--all}"
readonly log="$state/wine-run.log"

die() {
    echo "wine-run.sh: $*" >&2
    exit 1
}

# Runs "$@" in its own session with every inherited descriptor closed and its output in the log.
# Standard input comes from $detach_stdin (default /dev/null), opened read-write so that a FIFO
# never blocks the opening; $detach_fd3, when set, is a file opened as descriptor 3. Sets
# $detached_pid.
detach() {
    local input="${detach_stdin:-/dev/null}" fd3="${detach_fd3:-/dev/null}"
    (
        for fd in /proc/"$BASHPID"/fd/*; do
            fd="${fd##*/}"
            if ((fd > 2)); then eval "exec $fd>&-" 2>/dev/null || true; fi
        done
        exec setsid "$@" <>"$input" >>"$log" 2>&1 3>"$fd3"
    ) &
    detached_pid=$!
}

# True when $1 is a running process whose command line contains $2. Builtins only: the common
# path of every test run goes through here.
process_alive() {
    local -a args
    [[ -n "$1" && -r "/proc/$1/cmdline" ]] || return 1
    mapfile -d '' -t args <"/proc/$1/cmdline" 2>/dev/null || return 1
    [[ "${args[*]}" == *"$2"* ]]
}

# --- display ----------------------------------------------------------------------------------
# Without $DISPLAY one Xvfb serves the build: its display and process id are kept in
# <prefix>.run/xdisplay; a cloned prefix links that file to the one of its source.

# Sets $xvfb_display when the build's Xvfb runs.
find_xvfb() {
    local pid
    xvfb_display=
    [[ -s "$state/xdisplay" ]] || return 1
    read -r xvfb_display pid <"$state/xdisplay" || return 1
    process_alive "$pid" Xvfb
}

# Display numbers are drawn from 100 up, away from the low numbers people and other tools pick;
# Xvfb itself refuses a number in use, and writes the number to descriptor 3 once it is ready.
start_xvfb() {
    local file number=
    file="$(readlink -f "$state/xdisplay")"
    for _ in $(seq 20); do
        local candidate=$((100 + RANDOM % 800))
        [[ -e "/tmp/.X$candidate-lock" ]] && continue
        : >"$file.number"
        detach_fd3="$file.number" detach Xvfb ":$candidate" -displayfd 3 -screen 0 1280x1024x24 \
            -nolisten tcp -noreset
        for _ in $(seq 100); do
            number="$(tr -dc 0-9 <"$file.number")"
            [[ -n "$number" ]] || process_alive "$detached_pid" Xvfb || break
            [[ -n "$number" ]] && break
            sleep 0.1
        done
        [[ -n "$number" ]] && break
    done
    rm -f "$file.number"
    [[ -n "$number" ]] || die "Xvfb did not start (see $log)"
    echo ":$number $detached_pid" >"$file"
    echo "wine-run.sh: started Xvfb on :$number for $prefix" >>"$log"
}

# Sets DISPLAY: the caller's, or the build's Xvfb (started when it is not running).
ensure_display() {
    [[ -n "${DISPLAY:-}" ]] && return
    if ! find_xvfb; then
        exec 8>>"$(readlink -f "$state/xdisplay").lock"
        flock 8
        find_xvfb || start_xvfb
        exec 8>&-
        find_xvfb || die "Xvfb ended at once (see $log)"
    fi
    export DISPLAY="$xvfb_display"
}

# --- prefix -------------------------------------------------------------------------------------

boot_prefix() {
    echo "wine-run.sh: booting $prefix" >>"$log"
    if [[ -s "$state/keepalive" ]]; then
        # Left from a prefix that was deleted under it.
        wineserver -k >>"$log" 2>&1 9>&- || true
        local pid display
        read -r pid display <"$state/keepalive" || true
        if process_alive "${pid:-}" cmd.exe; then kill "$pid" || true; fi
        rm -f "$state/keepalive"
    fi
    rm -rf "$prefix" "$state/pristine"
    {
        # No Mono or Gecko installer dialogs, no desktop entries written into $HOME.
        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" wineboot -i
        # No window manager on Xvfb: without this Wine waits on every window hide or destroy.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
        # A crash prints a backtrace and ends instead of waiting in a dialog.
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
        wine reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d '' /f
        wineserver -w
    } >>"$log" 2>&1 9>&-
    local link
    for link in "$prefix"/drive_c/users/*/*; do
        if [[ -L "$link" && "$(readlink "$link")" == /* ]]; then
            rm "$link"
            mkdir "$link"
        fi
    done
    copy_prefix "$prefix" "$state/pristine"
    touch "$state/booted"
}

# A copy of a prefix whose server is not running. The system DLLs (nearly all of the 700 MB)
# are hard links, which nothing writes to; everything else is copied.
copy_prefix() {
    local from="$1" to="$2"
    rm -rf "$to"
    mkdir -p "$to"
    tar -C "$from" --exclude=./drive_c/windows/system32 --exclude=./drive_c/windows/winsxs \
        -cf - . | tar -C "$to" -xf -
    cp -al "$from/drive_c/windows/system32" "$from/drive_c/windows/winsxs" \
        "$to/drive_c/windows/"
    # The server's socket folder is named in this file; a copy gets its own.
    rm -f "$to/wineserver"
}

# The marker is written last when booting; the registry file shows the prefix is still there.
booted() {
    [[ -e "$state/booted" && -f "$prefix/system.reg" ]]
}

keepalive_ready() {
    local pid display
    [[ -s "$state/keepalive" ]] || return 1
    read -r pid display <"$state/keepalive" || return 1
    [[ "$display" == "$DISPLAY" ]] && process_alive "$pid" cmd.exe
}

# The persistent server, a keep-alive process that holds the desktop open (so explorer.exe stays),
# and the desktop itself, all without the caller's descriptors.
start_server() {
    local pid display status=0
    if [[ -s "$state/keepalive" ]]; then
        read -r pid display <"$state/keepalive" || true
        if [[ "${display:-}" != "$DISPLAY" ]]; then
            # The desktop lives on the old display: start over, ending what runs there.
            echo "wine-run.sh: restarting the server for display $DISPLAY (was ${display:-none})" \
                >>"$log"
            wineserver -k >>"$log" 2>&1 9>&- || true
            wineserver -w 9>&- || true
        else
            # Other programs may be running on the server: keep it, replace only the keep-alive.
            echo "wine-run.sh: the keep-alive process ${pid:-?} has ended; starting another" >>"$log"
        fi
    fi
    detach wineserver -p
    # 2: a server is running for this prefix already.
    wait "$detached_pid" || status=$?
    ((status == 0 || status == 2)) || die "wineserver did not start (see $log)"
    rm -f "$state/keepalive.fifo"
    mkfifo "$state/keepalive.fifo"
    detach_stdin="$state/keepalive.fifo" detach wine cmd.exe /q /k
    local keepalive="$detached_pid"
    detach wine rundll32.exe user32.dll,GetDesktopWindow
    wait "$detached_pid" || true
    process_alive "$keepalive" cmd.exe || die "the keep-alive process ended (see $log)"
    echo "$keepalive $DISPLAY" >"$state/keepalive"
}

lock_state() {
    mkdir -p "$state"
    exec 9>>"$state/lock"
    flock 9
}

prepare() {
    lock_state
    [[ -e "$state/xdisplay" || -L "$state/xdisplay" ]] || : >"$state/xdisplay"
    ensure_display
    booted || boot_prefix
    keepalive_ready || start_server
    exec 9>&-
}

stop() {
    [[ -d "$state" ]] || return 0
    lock_state
    if [[ -s "$state/keepalive" ]]; then
        wineserver -k >>"$log" 2>&1 9>&- || true
        rm -f "$state/keepalive" "$state/keepalive.fifo"
    fi
    if [[ -f "$state/xdisplay" && ! -L "$state/xdisplay" && -s "$state/xdisplay" ]]; then
        local display pid
        read -r display pid <"$state/xdisplay"
        if process_alive "$pid" Xvfb; then kill "$pid"; fi
        : >"$state/xdisplay"
    fi
    exec 9>&-
}

clone() {
    local to="${1:?--clone needs the new prefix folder}"
    [[ "$to" == /* ]] || to="$PWD/$to"
    lock_state
    [[ -e "$state/xdisplay" || -L "$state/xdisplay" ]] || : >"$state/xdisplay"
    booted || {
        ensure_display
        boot_prefix
    }
    exec 9>&-
    WINEPREFIX="$to" "$0" --stop
    rm -rf "$to" "$to.run"
    copy_prefix "$state/pristine" "$to"
    mkdir -p "$to.run"
    ln -s "$(readlink -f "$state/xdisplay")" "$to.run/xdisplay"
    touch "$to.run/booted"
}

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

case "${1:-}" in
"") die "usage: WINEPREFIX=<dir> $0 program.exe [args...] | --prepare | --clone <dir> | --display | --stop" ;;
--prepare) prepare ;;
--clone) clone "${2:-}" ;;
--stop) stop ;;
--display)
    prepare
    echo "$DISPLAY"
    ;;
*)
    # The common case takes no lock: everything is already running.
    if booted && { [[ -n "${DISPLAY:-}" ]] || find_xvfb; }; then
        export DISPLAY="${DISPLAY:-$xvfb_display}"
        keepalive_ready || prepare
    else
        prepare
    fi
    run_program "$@"
    ;;
esac
