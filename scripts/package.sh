#!/usr/bin/env bash
# Builds the packages a Windows user downloads, on a Debian machine:
#   build/package/Trayhound-<version>-portable.zip
#   build/package/Trayhound-<version>-setup.exe
#   build/package/SHA256SUMS
# scripts/deps.sh installs what is missing (makensis from nsis among it). The packages are the
# target `packages` of the mingw preset (build/mingw); `ctest --preset mingw -L install` tests them
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh </dev/null
cmake --preset mingw </dev/null
cmake --build --preset mingw --target packages </dev/null

# This version's packages, as the build names them.
mapfile -t packages <build/mingw/package/packages.txt
if [[ " ${packages[*]} " != *-setup.exe* ]]; then
    echo "package.sh: makensis was not found when build/mingw was configured" >&2
    exit 1
fi
rm -rf build/package
mkdir -p build/package
for name in "${packages[@]}"; do
    cp "build/mingw/package/$name" build/package/
done
(cd build/package && sha256sum "${packages[@]}" >SHA256SUMS)
echo "Packages in $PWD/build/package:"
cat build/package/SHA256SUMS
