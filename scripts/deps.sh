#!/usr/bin/env bash
# Installs what building and testing Trayhound needs on a Debian machine. Only missing packages
# are installed, so a second run returns at once. Needs no input.
set -euo pipefail

readonly packages=(
    cmake g++ make                              # native build
    mingw-w64 g++-mingw-w64-x86-64-posix        # Windows build
    wine wine64 xvfb xdotool x11-utils          # running and driving it
    libgtest-dev googletest libbenchmark-dev    # tests (GoogleTest sources in /usr/src/googletest)
    clang libclang-rt-dev                       # fuzz targets (libFuzzer and the sanitizers)
    fp-utils                                    # chmcmd, the help compiler
    nsis                                        # makensis, the setup compiler
    imagemagick python3                         # artwork and scripts
)

installed="$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
    awk '/ install ok installed$/ { print $1 }')" || true
missing=()
for package in "${packages[@]}"; do
    grep -qx -- "$package" <<<"$installed" || missing+=("$package")
done
((${#missing[@]} == 0)) && exit 0

echo "deps.sh: installing ${missing[*]}"
sudo=()
if ((EUID != 0)); then sudo=(sudo); fi
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q </dev/null
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" </dev/null
