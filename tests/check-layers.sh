#!/usr/bin/env bash
# Fails when a source file includes a header of a subsystem above its own. The subsystems, from
# the bottom: support, items, app, iconsets, editors, about, tray; src/WinMain.cpp, which builds
# the program from all of them, stands above the tree.
set -u
cd "$(dirname "$0")/.."
readonly order=" support items app iconsets editors about tray "
rank() { local before="${order%% $1 *}"; [[ "$before" == "$order" ]] && echo 99 || wc -w <<<"$before"; }
status=0
for file in src/*/*.h src/*/*.cpp src/*/win32/*.h src/*/win32/*.cpp; do
    own="$(rank "$(cut -d/ -f2 <<<"$file")")"
    for used in $(sed -n 's|^#include "\([a-z0-9]*\)/.*|\1|p' "$file" | sort -u); do
        if (($(rank "$used") > own)); then
            echo "$file includes a header of $used, which stands above its own subsystem"
            status=1
        fi
    done
done
exit "$status"
