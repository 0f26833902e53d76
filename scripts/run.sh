#!/usr/bin/env bash
# Builds Keywright and starts its main window. When no keyboard of the device table is attached,
# the virtual keyboard is started beside it. Without a display the program runs under Xvfb for
# a few seconds: a screenshot of the main window is saved and its path printed.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
BIN="$ROOT/build/bin"

# Vendor:product pairs of the device table ("24AE:4076"), from the shipped config.xml.
device_table_ids() {
  local cfg="$BIN/config.xml" v p
  [ -f "$cfg" ] || cfg="$ROOT/resources/config.xml"
  [ -f "$cfg" ] || { printf '24AE:4076\n1A2C:7FFF\n'; return; }
  grep -o '<keyboard [^>]*>' "$cfg" |
    sed -n 's/.*vid="\([0-9a-fA-F]\{1,4\}\)".*pid="\([0-9a-fA-F]\{1,4\}\)".*/\1 \2/p' |
    while read -r v p; do printf '%04X:%04X\n' "$((16#$v))" "$((16#$p))"; done
}

# True when a hidraw node of a device table keyboard exists (uevent HID_ID=bus:VVVVVVVV:PPPPPPPP).
keyboard_attached() {
  local ids uevent line bus v p
  ids=$(device_table_ids)
  for uevent in /sys/class/hidraw/*/device/uevent; do
    [ -r "$uevent" ] || continue
    line=$(grep -m1 '^HID_ID=' "$uevent" || true)
    IFS=: read -r bus v p <<<"${line#HID_ID=}"
    [[ "$v" =~ ^[0-9A-Fa-f]+$ && "$p" =~ ^[0-9A-Fa-f]+$ ]] || continue
    grep -qx "$(printf '%04X:%04X' "$((16#$v))" "$((16#$p))")" <<<"$ids" && return 0
  done
  return 1
}

# No display: a private Xvfb, a screenshot once the window shows, then the quit request.
headless_pids=()
stop_headless() {
  local p
  for p in "${headless_pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
}
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  # shellcheck source=scripts/services.sh
  source scripts/services.sh
  headless_dir=$(mktemp -d)
  trap 'stop_headless; rm -rf "$headless_dir"' EXIT
  kw_start_xvfb "$headless_dir" 1280x800x24 || { echo "run: Xvfb did not start" >&2; exit 1; }
  headless_pids+=("${KW_SERVICE_PIDS[@]}")
  KW_HEADLESS_SHOT="${KW_SCREENSHOT:-$ROOT/build/keywright-main-window.png}"
  export KW_HEADLESS_SHOT
fi

# Runs the program; headless, takes the screenshot and ends it with the quit request.
run_program() {
  if [ -z "${KW_HEADLESS_SHOT:-}" ]; then
    "$@"
    return
  fi
  "$@" &
  local program=$!
  kw_wait_for 20 "$BIN/keywright-request" 1 || { echo "run: the window did not appear" >&2; exit 1; }
  sleep 2  # the first device refresh and paint
  # The main window only, not the whole virtual screen; the screen if the window cannot be found.
  local window
  window=$(xdotool search --onlyvisible --pid "$program" 2>/dev/null | head -n 1)
  import -window "${window:-root}" "$KW_HEADLESS_SHOT"
  echo "run: screenshot of the main window: $KW_HEADLESS_SHOT"
  "$BIN/keywright-request" || true
  wait "$program"
}

if keyboard_attached || [ ! -x "$BIN/keywright-vkbd" ] || [ ! -f "$BIN/libhidsim.so" ]; then
  run_program "$BIN/keywright" "$@"
  exit $?
fi

# No keyboard: a virtual one (KW_VKBD_KEYBOARDS="24ae:4076 1a2c:7fff" to choose) stands in,
# reached through libhidsim.so preloaded into the unchanged program.
export KW_VKBD_SOCKET="${KW_VKBD_SOCKET:-${XDG_RUNTIME_DIR:-/tmp}/keywright-vkbd-$$.sock}"
vkbd_args=()
for k in ${KW_VKBD_KEYBOARDS:-24ae:4076}; do vkbd_args+=(--keyboard "$k"); done
"$BIN/keywright-vkbd" serve "${vkbd_args[@]}" &
headless_pids=("$!" "${headless_pids[@]}")
trap stop_headless EXIT INT TERM
for _ in $(seq 50); do
  "$BIN/keywright-vkbd" ping >/dev/null 2>&1 && break
  sleep 0.1
done
echo "run: no keyboard attached; virtual keyboard on $KW_VKBD_SOCKET" \
  "(inspect: KW_VKBD_SOCKET=$KW_VKBD_SOCKET build/bin/keywright-vkbd state)"
LD_PRELOAD="$BIN/libhidsim.so${LD_PRELOAD:+:$LD_PRELOAD}" run_program "$BIN/keywright" "$@"
