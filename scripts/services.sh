# Sourced by the test and run scripts: starts the services tests and the program need, on this
# machine only, and records how to stop them. kw_stop_services is safe to call more than once.
KW_SERVICE_PIDS=()
KW_SERVICE_DIR=""

kw_free_display() {
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then echo "$n"; return 0; fi
  done
  return 1
}

kw_wait_for() {   # seconds, command...
  local secs=$1; shift
  local i
  for i in $(seq 1 $((secs * 10))); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  return 1
}

kw_start_services() {
  KW_SERVICE_DIR=$(mktemp -d /tmp/keywright-services.XXXXXX)

  # X server: -noreset keeps it alive when the last client leaves between tests.
  local d
  d=$(kw_free_display)
  Xvfb ":$d" -noreset -nolisten tcp -screen 0 1920x1080x24 >"$KW_SERVICE_DIR/xvfb.log" 2>&1 &
  KW_SERVICE_PIDS+=($!)
  export DISPLAY=":$d"
  if ! kw_wait_for 15 xdpyinfo; then
    echo "services: Xvfb did not start" >&2; cat "$KW_SERVICE_DIR/xvfb.log" >&2; return 1
  fi

  # D-Bus session bus.
  local dbus_out
  dbus_out=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
  export DBUS_SESSION_BUS_ADDRESS=$(echo "$dbus_out" | sed -n 1p)
  KW_SERVICE_PIDS+=("$(echo "$dbus_out" | sed -n 2p)")

  # PulseAudio with a null sink whose monitor is the default source, so audio capture tests
  # record what they play themselves.
  export PULSE_RUNTIME_PATH="$KW_SERVICE_DIR/pulse"
  export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$KW_SERVICE_DIR/run}"
  mkdir -p "$PULSE_RUNTIME_PATH" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  export PULSE_SERVER="unix:$PULSE_RUNTIME_PATH/native"
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    --load="module-native-protocol-unix socket=$PULSE_RUNTIME_PATH/native auth-anonymous=1" \
    --load="module-null-sink sink_name=kw_null" \
    --load="module-always-sink" >"$KW_SERVICE_DIR/pulse.log" 2>&1 &
  KW_SERVICE_PIDS+=($!)
  if kw_wait_for 15 pactl info; then
    pactl set-default-sink kw_null >/dev/null 2>&1 || true
    pactl set-default-source kw_null.monitor >/dev/null 2>&1 || true
  else
    echo "services: PulseAudio did not start (audio tests will say so)" >&2
    cat "$KW_SERVICE_DIR/pulse.log" >&2 || true
  fi

  # Local HTTP server on loopback for the update tests; serves KW_HTTP_ROOT.
  export KW_HTTP_ROOT="$KW_SERVICE_DIR/http"
  mkdir -p "$KW_HTTP_ROOT"
  export KW_HTTP_PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  python3 -m http.server "$KW_HTTP_PORT" --bind 127.0.0.1 --directory "$KW_HTTP_ROOT" \
    >"$KW_SERVICE_DIR/http.log" 2>&1 &
  KW_SERVICE_PIDS+=($!)
  kw_wait_for 10 curl -sf "http://127.0.0.1:$KW_HTTP_PORT/" || echo "services: HTTP server did not start" >&2

  # Keep the user's own settings and data out of test runs.
  export XDG_CONFIG_HOME="$KW_SERVICE_DIR/config"
  export XDG_DATA_HOME="$KW_SERVICE_DIR/data"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
  echo "services: DISPLAY=$DISPLAY, D-Bus, PulseAudio, HTTP on 127.0.0.1:$KW_HTTP_PORT"
}

kw_stop_services() {
  local p
  for p in "${KW_SERVICE_PIDS[@]:-}"; do
    [ -n "$p" ] && kill "$p" 2>/dev/null || true
  done
  for p in "${KW_SERVICE_PIDS[@]:-}"; do
    [ -n "$p" ] && wait "$p" 2>/dev/null || true
  done
  KW_SERVICE_PIDS=()
  [ -n "$KW_SERVICE_DIR" ] && rm -rf "$KW_SERVICE_DIR"
  KW_SERVICE_DIR=""
}
