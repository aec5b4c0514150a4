#!/usr/bin/env bash
# Builds in Release and runs every benchmark; arguments go to Google Benchmark
# (for example --benchmark_format=json or --benchmark_filter=Import).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh libbenchmark-dev
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARO_TESTS=OFF -DTESSARO_BENCHMARKS=ON
cmake --build build/bench --parallel "$(nproc)"
for benchmark in build/bench/bench/bench_*; do
    [ -f "$benchmark" ] && [ -x "$benchmark" ] || continue
    "$benchmark" "$@"
done
