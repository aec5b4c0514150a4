#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for the given number of seconds
# (default 60). Crash inputs land in build/fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

scripts/deps.sh clang libclang-rt-dev
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARO_TESTS=OFF -DTESSARO_FUZZ=ON
cmake --build build/fuzz --parallel "$(nproc)"
mkdir -p build/fuzz/crashes
# Undefined behaviour counts as a crash, but for what the suppressions list.
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$PWD/scripts/ubsan.supp"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp"
for target in build/fuzz/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus=build/fuzz/corpus/$name
    mkdir -p "$corpus"
    echo "== $name for ${seconds}s"
    "$target" "$corpus" fuzz/corpus/"$name" -max_total_time="$seconds" -max_len=65536 \
        -artifact_prefix=build/fuzz/crashes/"$name"- -print_final_stats=1
done
