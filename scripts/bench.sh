#!/usr/bin/env bash
# Builds and runs the benchmarks of bench/ (each folder one benchmark, bin/bench-NAME).
#   scripts/bench.sh NAME...   one line per figure: NAME VALUE UNIT
#   scripts/bench.sh           every benchmark, then all figures in one table
#   scripts/bench.sh --table NAME...   those benchmarks, as one table
#   scripts/bench.sh peers     the program's start, memory and idle CPU beside xterm and the other
#                              input-device configuration programs installed (ckb-next, piper,
#                              solaar), with the ratios to the best of them
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
bash scripts/setup.sh >/dev/null
log=$(mktemp)
build_quietly() { "$@" >"$log" 2>&1 || { cat "$log" >&2; echo "bench: build failed" >&2; exit 1; }; }
# KW_BENCH_DIR: an existing build folder to take the benchmarks from, as it is configured.
BENCH_DIR=${KW_BENCH_DIR:-build-bench}
if [ -z "${KW_BENCH_DIR:-}" ]; then
  build_quietly cmake -S . -B "$BENCH_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKW_BUILD_TESTS=OFF
fi
names=()
table=0
if [ "${1:-}" = --table ]; then
  shift
  table=1
fi
if [ $# -eq 1 ] && [ "$1" = peers ]; then
  names=(startup)
  set -- peers
elif [ $# -gt 0 ]; then
  names=("$@")
  set --
else
  table=1
  for d in bench/*/; do names+=("$(basename "$d")"); done
fi
source scripts/services.sh
figures=$(mktemp)
trap 'kw_stop_services; rm -f "$log" "$figures"' EXIT INT TERM
kw_start_services all >/dev/null   # the program meets a session bus and a sound server, as on a desktop
for n in "${names[@]}"; do
  if [ ! -f "bench/$n/CMakeLists.txt" ]; then echo "bench: no benchmark named $n" >&2; exit 2; fi
  build_quietly cmake --build "$BENCH_DIR" -j "$(nproc)" --target "bench-$n" kw_data
  if [ $table -eq 1 ]; then
    echo "bench: $n" >&2
    (cd "$BENCH_DIR/bin" && "./bench-$n") | sed "s/^/$n /" >>"$figures" || echo "$n FAILED - -" >>"$figures"
  else
    (cd "$BENCH_DIR/bin" && "./bench-$n" "$@")
  fi
done
if [ $table -eq 1 ]; then
  awk 'BEGIN { printf "%-10s %-40s %14s  %s\n", "bench", "figure", "value", "unit" }
       { unit = ""; for (i = 4; i <= NF; ++i) unit = unit (i > 4 ? " " : "") $i
         printf "%-10s %-40s %14s  %s\n", $1, $2, $3, unit }' "$figures"
fi
