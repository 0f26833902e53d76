#!/usr/bin/env bash
# The soak, not part of the test pass: the program on its lighting page beside the virtual
# keyboard for MINUTES (default 30). Every 10 s a lighting preview mode is chosen (a transfer to
# the keyboard) and its preview runs; halfway through each period the music mode is chosen with
# a tone playing into the test audio server's null sink, so the level stream runs. Resident
# memory is sampled every 10 s. Prints memory at 1 minute and at the end, its largest growth
# after the first minute, transfers driven against those in the keyboard's log, music levels
# received and the program's CPU; exits non-zero when memory grew beyond 1 MiB after the first
# minute, a transfer was lost, or no music level arrived.
#   scripts/soak.sh [MINUTES]       KW_SOAK_BUILD=folder (default build) chooses the build
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
minutes=${1:-30}
[[ "$minutes" =~ ^[1-9][0-9]*$ ]] || { echo "usage: scripts/soak.sh [MINUTES]" >&2; exit 2; }
build=${KW_SOAK_BUILD:-build}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
case $type in
  Release|RelWithDebInfo) ;;
  *) echo "soak: $build is a '$type' build; the figures mean something for Release or RelWithDebInfo only" >&2; exit 2 ;;
esac
cmake --build "$build" --target keywright-drive >/dev/null

# shellcheck source=scripts/services.sh
source scripts/services.sh
trap kw_stop_services EXIT
kw_start_services all >/dev/null
pactl info >/dev/null 2>&1 || { echo "soak: no audio server" >&2; exit 2; }

echo "soak: $type build in $build; load before: $(uptime | sed 's/.*load average: //')"
status=0
"$build/bin/keywright-drive" soak "$minutes" || status=$?
echo "soak: load after: $(uptime | sed 's/.*load average: //')"
exit $status
