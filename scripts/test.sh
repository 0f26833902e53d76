#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. Starts the services the tests
# need (Xvfb, a D-Bus session bus, PulseAudio with a null sink, a local HTTP server) and stops
# them on every exit path. Then builds the threaded tests under ThreadSanitizer and the parser
# tests under AddressSanitizer+UBSan and runs them too, and in each of those two builds walks the
# first-day journey (tests/journey) through the whole instrumented program.
#   KW_SANITIZER_PASSES=0  skips the two sanitizer passes (quick local runs)
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
JOBS=$(nproc)

bash scripts/setup.sh

# shellcheck source=scripts/services.sh
source scripts/services.sh
trap kw_stop_services EXIT INT TERM
kw_start_services

configure_and_build() {   # dir, extra cmake args..., then -- targets...
  local dir=$1; shift
  local args=() targets=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do args+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  targets=("$@")
  # Warnings are errors here (and in CI), not in a plain build.
  cmake -S . -B "$dir" -G Ninja -DKW_WARNINGS_AS_ERRORS=ON "${args[@]}"
  if [ ${#targets[@]} -gt 0 ]; then
    cmake --build "$dir" -j "$JOBS" --target "${targets[@]}"
  else
    cmake --build "$dir" -j "$JOBS"
  fi
}

echo "== build"
configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== tests"
ctest --test-dir build --output-on-failure --no-tests=error -j "$JOBS"

if [ "${KW_SANITIZER_PASSES:-1}" != "0" ]; then
  # Test folders whose code runs threads, and those that parse outside input.
  TSAN_LABELS=(app device features store)
  ASAN_LABELS=(docs device features update store)
  label_regex() { local IFS='|'; echo "^($*)\$"; }
  targets_of() { local t=(); for l in "$@"; do [ -d "tests/$l" ] && t+=("test_$l"); done; echo "${t[@]}"; }

  echo "== ThreadSanitizer: ${TSAN_LABELS[*]} and the threaded tests of tavex"
  # The build runs the data generators instrumented too; the races it would report lie inside
  # the font and drawing libraries they call, so reports wait for the tests.
  JOURNEY=(test_journey)
  # shellcheck disable=SC2046
  TSAN_OPTIONS="report_bugs=0 exitcode=0" configure_and_build build-tsan -DCMAKE_BUILD_TYPE=Debug -DKW_SANITIZE=thread -DKW_BUILD_BENCH=OFF \
    -- kw_data $(targets_of "${TSAN_LABELS[@]}") test_tavex "${JOURNEY[@]}"
  TSAN_RUN="halt_on_error=1 second_deadlock_stack=1 suppressions=$ROOT/scripts/tsan-suppressions.txt"
  TSAN_OPTIONS="$TSAN_RUN" \
    ctest --test-dir build-tsan --output-on-failure --no-tests=error -j "$JOBS" -L "$(label_regex "${TSAN_LABELS[@]}")"
  # From the UI library, the tests whose threads post, time and animate, and those of the
  # lists that a paint, an animation tick and another thread's setters share.
  TSAN_OPTIONS="$TSAN_RUN" \
    ctest --test-dir build-tsan --output-on-failure --no-tests=error -j "$JOBS" -L '^tavex$' \
      -R 'MessageQueue|Timer|Thread|Overlay|PaintManager|Panel|KeyboardCtrl|LockRules'
  # The whole program, the virtual keyboard and the test's own desktop stand-ins, instrumented:
  # any report ends its process, which the journey sees as a lost step or a non-zero exit. Its
  # waits grow by the build's time scale (tests/support/TimeScale.h).
  echo "== ThreadSanitizer: the first-day journey"
  TSAN_OPTIONS="$TSAN_RUN" \
    ctest --test-dir build-tsan --output-on-failure --no-tests=error -L '^journey$'

  echo "== AddressSanitizer+UBSan: ${ASAN_LABELS[*]}"
  # The build runs the data generators (skins, light frames) instrumented too; leaks of the
  # drawing libraries they call are not ours to find, so leak checks wait for the tests.
  # shellcheck disable=SC2046
  ASAN_OPTIONS="detect_leaks=0" configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DKW_SANITIZE=address -DKW_BUILD_BENCH=OFF \
    -- kw_data $(targets_of "${ASAN_LABELS[@]}") "${JOURNEY[@]}"
  ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" \
    ctest --test-dir build-asan --output-on-failure --no-tests=error -j "$JOBS" -L "$(label_regex "${ASAN_LABELS[@]}")"
  # Leak checks stay on for the program: only leaks inside system libraries are suppressed
  # (scripts/lsan-suppressions.txt), and a leak report makes the program exit non-zero.
  echo "== AddressSanitizer+UBSan: the first-day journey"
  ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" \
    LSAN_OPTIONS="suppressions=$ROOT/scripts/lsan-suppressions.txt print_suppressions=0" \
    ctest --test-dir build-asan --output-on-failure --no-tests=error -L '^journey$'
fi
echo "== all tests passed"
