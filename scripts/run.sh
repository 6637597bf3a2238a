#!/usr/bin/env bash
# Builds Trayhound and starts it under Wine, in a prefix of its own (build/mingw/run-prefix).
# Uses $DISPLAY when set; otherwise the program runs on a virtual display (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh </dev/null
cmake --preset mingw
cmake --build --preset mingw --target Trayhound

export WINEPREFIX="$PWD/build/mingw/run-prefix"
had_display="${DISPLAY:-}"
display="$(scripts/wine-run.sh --display)"
if [[ -z "$had_display" ]]; then
    echo "run.sh: no DISPLAY set, so Trayhound runs on the virtual display $display (Xvfb)."
    echo "        A screenshot: xwd -root -display $display | convert xwd:- trayhound.png"
fi
echo "run.sh: starting Trayhound (prefix $WINEPREFIX)"
status=0
scripts/wine-run.sh "$PWD/build/mingw/Trayhound.exe" || status=$?
scripts/wine-run.sh --stop
exit "$status"
