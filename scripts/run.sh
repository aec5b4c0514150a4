#!/usr/bin/env bash
# Installs what is missing, builds Tessaro in Release and starts it;
# arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARO_TESTS=OFF
cmake --build build/release --parallel "$(nproc)" --target tessaro
exec build/release/src/app/tessaro "$@"
