#!/usr/bin/env bash
# Builds and runs the benchmarks of bench/ (each folder one benchmark, bin/bench-NAME).
# Prints one line per figure: NAME VALUE UNIT.   Usage: scripts/bench.sh [NAME]
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
bash scripts/setup.sh >/dev/null
log=$(mktemp)
build_quietly() { "$@" >"$log" 2>&1 || { cat "$log" >&2; echo "bench: build failed" >&2; exit 1; }; }
build_quietly cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKW_BUILD_TESTS=OFF
names=()
if [ $# -gt 0 ]; then
  names=("$@")
else
  for d in bench/*/; do names+=("$(basename "$d")"); done
fi
source scripts/services.sh
trap 'kw_stop_services; rm -f "$log"' EXIT INT TERM
kw_start_services >/dev/null
for n in "${names[@]}"; do
  if [ ! -f "bench/$n/CMakeLists.txt" ]; then echo "bench: no benchmark named $n" >&2; exit 2; fi
  build_quietly cmake --build build-bench -j "$(nproc)" --target "bench-$n" kw_data
  (cd build-bench/bin && "./bench-$n")
done
