#!/bin/sh
# Builds the packages a Windows user downloads, on a Debian machine:
#   build/package/Trayhound-<version>-portable.zip
#   build/package/Trayhound-<version>-setup.exe
#   build/package/SHA256SUMS
# Missing tools are installed with apt-get. The packages are built by the target `packages` of
# the mingw preset (build/mingw); `ctest --preset mingw -L install` tests them under Wine.
set -eu

cd "$(dirname "$0")/.."

# The cross toolchain, Wine and the rest, when the project's set-up script is there.
if [ -x scripts/deps.sh ]; then
    scripts/deps.sh
fi

missing=""
need() {
    command -v "$1" >/dev/null 2>&1 || missing="$missing $2"
}
need cmake cmake
need x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix
need x86_64-w64-mingw32-windres binutils-mingw-w64-x86-64
need chmcmd fp-utils
need makensis nsis
[ -f /usr/src/googletest/CMakeLists.txt ] || missing="$missing googletest"
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update
    # shellcheck disable=SC2086 # one word per package
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
fi

cmake --preset mingw
cmake --build --preset mingw --target packages

rm -rf build/package
mkdir -p build/package
packages=$(cat build/mingw/package/packages.txt)
case "$packages" in
    *-setup.exe*) ;;
    *) echo "makensis was not found when build/mingw was configured" >&2; exit 1 ;;
esac
for name in $packages; do
    cp "build/mingw/package/$name" build/package/
done
# shellcheck disable=SC2086 # the names hold no blanks
(cd build/package && sha256sum $packages > SHA256SUMS)
echo "Packages in $(pwd)/build/package:"
cat build/package/SHA256SUMS
