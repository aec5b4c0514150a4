#!/usr/bin/env bash
# Installs what is missing, builds Tessaro in Release in build/package and
# makes a Debian package of it; prints the package's path, alone on standard
# output (the build talks on standard error). Install it with
#   sudo apt install ./build/package/tessaro_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh dpkg-dev >&2
# The settings show the build number beside the version: the one given, or
# the number of commits.
build_number=${TESSARO_BUILD_NUMBER:-$(git rev-list --count HEAD 2>/dev/null || true)}
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARO_TESTS=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr -DTESSARO_BUILD_NUMBER="$build_number" >&2
cmake --build build/package --parallel "$(nproc)" >&2
rm -f build/package/tessaro_*.deb
(cd build/package && cpack) >&2
ls "$PWD"/build/package/tessaro_*.deb
