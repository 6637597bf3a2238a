#!/usr/bin/env bash
# Builds Trayhound and starts it under Wine, in a prefix of its own (build/mingw/run-prefix).
# Uses $DISPLAY when set; otherwise the program runs on a virtual display (Xvfb). Ctrl+C ends it
# and everything it started.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh </dev/null
cmake --preset mingw </dev/null
cmake --build --preset mingw --target Trayhound </dev/null

export WINEPREFIX="$PWD/build/mingw/run-prefix"
trap 'scripts/wine-prefix.sh stop "$WINEPREFIX"' EXIT
trap 'exit 130' INT TERM
had_display="${DISPLAY:-}"
DISPLAY="$(scripts/wine-prefix.sh start "$WINEPREFIX")"
export DISPLAY
if [[ -z "$had_display" ]]; then
    echo "run.sh: no DISPLAY set, so Trayhound runs on the virtual display $DISPLAY (Xvfb)."
    echo "        A screenshot: import -display $DISPLAY -window root trayhound.png"
fi
echo "run.sh: starting Trayhound (prefix $WINEPREFIX)"
scripts/wine-run.sh "$PWD/build/mingw/Trayhound.exe"
