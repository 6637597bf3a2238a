#!/usr/bin/env bash
# The one tool for the Wine prefixes that Trayhound is run and tested in.
#
#   wine-prefix.sh boot  <prefix>        create and set up the prefix (once; later calls return)
#   wine-prefix.sh clone <from> <to>     make <to> a fresh copy of <from> as it was booted
#   wine-prefix.sh start <prefix>        display, persistent server and keep-alive; prints DISPLAY
#   wine-prefix.sh stop  <prefix>        end the prefix's server, keep-alive and own display
#
# A booted prefix has what the tests rely on: no window-manager mode (Managed=N), no crash dialog,
# no menu builder, real folders instead of links into $HOME. Its state lives beside it in
# <prefix>.run/: the lock, the log, the pristine copy that clones come from, the display and the
# keep-alive process.
#
# Without $DISPLAY a prefix gets an Xvfb display of its own (a clone too), picked by Xvfb itself
# (-displayfd), so that parallel runs never race for a number. ctest waits until every process
# holding a test's output pipe has ended, and Wine's wineserver, services.exe and explorer.exe
# would inherit it: the server and a keep-alive process that holds the desktop open are started
# here, once, with no inherited descriptors, so that a run only has to exec wine.
set -euo pipefail
export WINEDEBUG="${WINEDEBUG:--all}"

die() {
    echo "wine-prefix.sh: $*" >&2
    exit 1
}

absolute() {
    [[ "$1" == /* ]] && echo "$1" || echo "$PWD/$1"
}

# Runs "$@" in its own session with every inherited descriptor closed and its output in the log.
# Standard input is $detach_stdin (default /dev/null), opened read-write so that a FIFO never
# blocks; descriptor 3 is $detach_fd3 when set. Sets $detached_pid.
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

# True when $1 is a running process whose command line contains $2.
alive() {
    local -a args
    [[ -n "$1" && -r "/proc/$1/cmdline" ]] || return 1
    mapfile -d '' -t args <"/proc/$1/cmdline" 2>/dev/null || return 1
    [[ "${args[*]}" == *"$2"* ]]
}

use_prefix() {
    prefix="$(absolute "${1:?the prefix folder is missing}")"
    state="$prefix.run"
    log="$state/wine-run.log"
    mkdir -p "$state"
    exec 9>>"$state/lock"
    flock 9
    export WINEPREFIX="$prefix"
}

booted() {
    [[ -e "$state/booted" && -f "$prefix/system.reg" ]]
}

# A copy of a prefix whose server is not running. The system DLLs (nearly all of its 700 MB) are
# hard links, which nothing writes to; everything else is copied.
copy_tree() {
    local from="$1" to="$2"
    rm -rf "$to"
    mkdir -p "$to"
    tar -C "$from" --exclude=./drive_c/windows/system32 --exclude=./drive_c/windows/winsxs \
        -cf - . | tar -C "$to" -xf -
    cp -al "$from/drive_c/windows/system32" "$from/drive_c/windows/winsxs" "$to/drive_c/windows/"
    rm -f "$to/wineserver"  # the server's socket folder is named in it; a copy gets its own
}

boot() {
    booted && return
    echo "wine-prefix.sh: booting $prefix" >>"$log"
    stop_server
    rm -rf "$prefix" "$state/pristine"
    start_display
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
    copy_tree "$prefix" "$state/pristine"
    touch "$state/booted"
}

# Sets DISPLAY: the caller's, or this prefix's own Xvfb, started when it is not running.
start_display() {
    local display pid number=
    if [[ -n "${DISPLAY:-}" ]]; then return; fi
    if [[ -s "$state/xdisplay" ]] && read -r display pid <"$state/xdisplay" && alive "$pid" Xvfb; then
        export DISPLAY="$display"
        return
    fi
    : >"$state/xdisplay.number"
    detach_fd3="$state/xdisplay.number" detach Xvfb -displayfd 3 -screen 0 1024x768x24 \
        -nolisten tcp -noreset
    for _ in $(seq 100); do
        number="$(tr -dc 0-9 <"$state/xdisplay.number")"
        # Ready, or ended (a zombie until it is waited for).
        [[ -n "$number" || "$(cut -d' ' -f3 "/proc/$detached_pid/stat" 2>/dev/null)" == Z ]] && break
        sleep 0.1
    done
    rm -f "$state/xdisplay.number"
    [[ -n "$number" ]] || die "Xvfb did not start within 10 s (see $log)"
    echo ":$number $detached_pid" >"$state/xdisplay"
    export DISPLAY=":$number"
}

server_running() {
    local pid display
    [[ -s "$state/keepalive" ]] && read -r pid display <"$state/keepalive" &&
        [[ "$display" == "$DISPLAY" ]] && alive "$pid" cmd.exe
}

# The persistent server, a keep-alive process that holds the desktop open (so explorer.exe stays),
# and the desktop itself, all without the caller's descriptors.
start_server() {
    local status=0
    stop_server
    detach wineserver -p
    wait "$detached_pid" || status=$?
    ((status == 0 || status == 2)) || die "wineserver did not start (see $log)"  # 2: running
    rm -f "$state/keepalive.fifo"
    mkfifo "$state/keepalive.fifo"
    detach_stdin="$state/keepalive.fifo" detach wine cmd.exe /q /k
    local keepalive="$detached_pid"
    detach wine rundll32.exe user32.dll,GetDesktopWindow
    wait "$detached_pid" || true
    alive "$keepalive" cmd.exe || die "the keep-alive process ended (see $log)"
    echo "$keepalive $DISPLAY" >"$state/keepalive"
}

# Also when a start was cut short before the keep-alive was written down.
stop_server() {
    [[ -d "$prefix" ]] || return 0
    wineserver -k >>"$log" 2>&1 9>&- || true
    wineserver -w 9>&- || true
    rm -f "$state/keepalive" "$state/keepalive.fifo"
}

stop_display() {
    local display pid
    if [[ -s "$state/xdisplay" ]] && read -r display pid <"$state/xdisplay" && alive "$pid" Xvfb; then
        kill "$pid"
    fi
    rm -f "$state/xdisplay"
}

case "${1:-}" in
boot)
    use_prefix "${2:-}"
    boot
    ;;
clone)
    from="$(absolute "${2:?clone needs the prefix to copy}")"
    to="$(absolute "${3:?clone needs the new prefix folder}")"
    "$0" boot "$from" >/dev/null
    "$0" stop "$to"
    use_prefix "$to"
    copy_tree "$from.run/pristine" "$to"
    touch "$state/booted"
    ;;
start)
    use_prefix "${2:-}"
    boot
    start_display
    server_running || start_server
    echo "$DISPLAY"
    ;;
stop)
    [[ -d "$(absolute "${2:?stop needs the prefix folder}").run" ]] || exit 0
    use_prefix "$2"
    stop_server
    stop_display
    ;;
*) die "usage: $0 boot|start|stop <prefix> | clone <from> <to>" ;;
esac
