#!/usr/bin/env bash
# Builds a libFuzzer target of fuzz/ with clang under ASan+UBSan and runs it.
# Usage: scripts/fuzz.sh NAME [SECONDS]   (default 60 s; corpus kept in build-fuzz/corpus-NAME)
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
name=${1:?usage: scripts/fuzz.sh NAME [SECONDS]}
secs=${2:-60}
bash scripts/setup.sh >/dev/null
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKW_BUILD_FUZZ=ON -DKW_SANITIZE=address -DKW_BUILD_TESTS=OFF -DKW_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "fuzz-$name"
mkdir -p "build-fuzz/corpus-$name"
seeds=()
[ -d "fuzz/$name/seeds" ] && seeds=("fuzz/$name/seeds")
ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
  "build-fuzz/bin/fuzz-$name" -max_total_time="$secs" -print_final_stats=1 "build-fuzz/corpus-$name" "${seeds[@]}"
