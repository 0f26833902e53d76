#!/usr/bin/env bash
# The README's pictures: the device list and the five pages with the virtual keyboard chosen,
# each the 1200 x 720 main window, taken on a private X server and made small (pngquant, then
# optipng, when installed).
#   scripts/screenshots.sh [FOLDER [LANG]]    default docs/screenshots, en_US.UTF-8
#   e.g. scripts/screenshots.sh build/shots-zh zh_CN.UTF-8 for the Chinese texts
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
folder=${1:-docs/screenshots}
lang=${2:-en_US.UTF-8}
build=${KW_SCREENSHOT_BUILD:-build}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target keywright-drive >/dev/null

# shellcheck source=scripts/services.sh
source scripts/services.sh
trap kw_stop_services EXIT
kw_start_services >/dev/null

mkdir -p "$folder"
"$build/bin/keywright-drive" pages "$folder" "$lang"
for png in "$folder"/{devices,home,keys,macros,lighting,settings}.png; do
  if command -v pngquant >/dev/null; then
    pngquant --force --skip-if-larger --strip --quality 85-100 --output "$png" -- "$png" || true
  fi
  if command -v optipng >/dev/null; then optipng -quiet -o2 -strip all "$png"; fi
done
du -ch "$folder"/{devices,home,keys,macros,lighting,settings}.png | tail -n 1 | sed 's/\ttotal/ in total/'
