#!/usr/bin/env bash
# Installs what is missing, builds Tessaro with its tests (warnings are
# errors, AddressSanitizer and UndefinedBehaviorSanitizer on) and runs every
# test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSARO_WERROR=ON -DTESSARO_TESTS=ON \
    -DTESSARO_SANITIZE=address,undefined
cmake --build build/test --parallel "$(nproc)"
cd build/test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" --timeout 300
