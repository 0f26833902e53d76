#!/usr/bin/env bash
# Builds Keywright and starts it. When no keyboard of the device table is attached, the virtual
# keyboard is started beside it. Without a display the program runs under Xvfb; a screenshot of
# the screen is saved and its path printed.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
exec "$ROOT/build/bin/keywright" "$@"
