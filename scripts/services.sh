# The services tests and the program need, on this machine only.
#
# Sourced (scripts/test.sh, bench.sh, run.sh): kw_start_services starts Xvfb and private user
# folders, and only chooses the addresses of the D-Bus session bus, PulseAudio and the local HTTP
# server; those start on demand, through the ctest fixtures of the tests that use them
# (tests/CMakeLists.txt), or all at once with `kw_start_services all`. kw_stop_services stops
# whatever was started and is safe to call more than once.
#
# Run (the ctest fixtures): `bash scripts/services.sh start|stop dbus|pulse|http` starts or stops
# one service at the addresses kw_start_services exported; without them it does nothing.
KW_SERVICE_PIDS=()
KW_SERVICE_DIR="${KW_SERVICE_DIR:-}"
KW_ON_DEMAND_SERVICES=(dbus pulse http)

kw_wait_for() {   # seconds, command...
  local secs=$1; shift
  local i
  for i in $(seq 1 $((secs * 10))); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  return 1
}

# An X server on a display number it picks itself and reports once it accepts clients
# (-displayfd), so parallel runs never race for a number. Sets DISPLAY; its pid is the last of
# KW_SERVICE_PIDS. -noreset keeps it alive when the last client leaves between tests.
kw_start_xvfb() {   # folder for its log and display file, screen size (WxHxD)
  local dir=$1 screen=${2:-1920x1080x24}
  local number_file="$dir/xvfb.display"
  : >"$number_file"
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "$screen" 3>"$number_file" >"$dir/xvfb.log" 2>&1 &
  KW_SERVICE_PIDS+=($!)
  if ! kw_wait_for 15 grep -q '^[0-9]' "$number_file"; then
    echo "services: Xvfb did not start" >&2; cat "$dir/xvfb.log" >&2; return 1
  fi
  export DISPLAY=":$(head -n 1 "$number_file")"
}

kw_start_services() {   # [all]
  KW_SERVICE_DIR=$(mktemp -d /tmp/keywright-services.XXXXXX)
  export KW_SERVICE_DIR
  kw_start_xvfb "$KW_SERVICE_DIR" || return 1

  # Addresses of the on-demand services, known to every test from the start.
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$KW_SERVICE_DIR/bus"
  export PULSE_RUNTIME_PATH="$KW_SERVICE_DIR/pulse"
  export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$KW_SERVICE_DIR/run}"
  mkdir -p "$PULSE_RUNTIME_PATH" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  export PULSE_SERVER="unix:$PULSE_RUNTIME_PATH/native"
  export KW_HTTP_ROOT="$KW_SERVICE_DIR/http"
  mkdir -p "$KW_HTTP_ROOT"
  KW_HTTP_PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  export KW_HTTP_PORT

  # Keep the user's own settings and data out of test runs.
  export XDG_CONFIG_HOME="$KW_SERVICE_DIR/config"
  export XDG_DATA_HOME="$KW_SERVICE_DIR/data"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"

  local started="on demand"
  if [ "${1:-}" = all ]; then
    local s
    for s in "${KW_ON_DEMAND_SERVICES[@]}"; do kw_start_service "$s" || true; done
    started="started"
  fi
  echo "services: DISPLAY=$DISPLAY; D-Bus, PulseAudio, HTTP on 127.0.0.1:$KW_HTTP_PORT $started"
}

# Starts a service detached from the caller (a ctest fixture must not keep the test's output
# open), its pid in $KW_SERVICE_DIR/NAME.pid. Already running: nothing to do.
kw_start_service() {   # dbus | pulse | http
  local name=$1
  [ -n "$KW_SERVICE_DIR" ] && [ -d "$KW_SERVICE_DIR" ] || { echo "services: no service folder, $name not started"; return 0; }
  local pidfile="$KW_SERVICE_DIR/$name.pid" log="$KW_SERVICE_DIR/$name.log"
  if [ -s "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; then return 0; fi
  case $name in
    dbus)
      setsid dbus-daemon --session --nofork --nopidfile --address="$DBUS_SESSION_BUS_ADDRESS" \
        </dev/null >"$log" 2>&1 &
      echo $! >"$pidfile"
      kw_wait_for 15 test -S "${DBUS_SESSION_BUS_ADDRESS#unix:path=}" || { echo "services: D-Bus did not start" >&2; cat "$log" >&2; return 1; }
      ;;
    pulse)
      # A null sink whose monitor is the default source, so audio capture tests record what
      # they play themselves.
      setsid pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
        --load="module-native-protocol-unix socket=$PULSE_RUNTIME_PATH/native auth-anonymous=1" \
        --load="module-null-sink sink_name=kw_null" \
        --load="module-always-sink" </dev/null >"$log" 2>&1 &
      echo $! >"$pidfile"
      if kw_wait_for 15 pactl info; then
        pactl set-default-sink kw_null >/dev/null 2>&1 || true
        pactl set-default-source kw_null.monitor >/dev/null 2>&1 || true
      else
        echo "services: PulseAudio did not start (audio tests will say so)" >&2; cat "$log" >&2
      fi
      ;;
    http)
      setsid python3 -m http.server "$KW_HTTP_PORT" --bind 127.0.0.1 --directory "$KW_HTTP_ROOT" \
        </dev/null >"$log" 2>&1 &
      echo $! >"$pidfile"
      kw_wait_for 10 curl -sf "http://127.0.0.1:$KW_HTTP_PORT/" || { echo "services: HTTP server did not start" >&2; return 1; }
      ;;
    *) echo "services: unknown service $name" >&2; return 2 ;;
  esac
}

kw_stop_service() {   # dbus | pulse | http
  [ -n "$KW_SERVICE_DIR" ] || return 0
  local pidfile="$KW_SERVICE_DIR/$1.pid" p
  [ -s "$pidfile" ] || return 0
  p=$(cat "$pidfile")
  rm -f "$pidfile"
  kill "$p" 2>/dev/null || return 0
  kw_wait_for 5 bash -c "! kill -0 $p" || kill -9 "$p" 2>/dev/null || true
}

kw_stop_services() {
  local p s
  for s in "${KW_ON_DEMAND_SERVICES[@]}"; do kw_stop_service "$s"; done
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

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  case "${1:-}" in
    start) kw_start_service "${2:?service name}" ;;
    stop) kw_stop_service "${2:?service name}" ;;
    *) echo "usage: $0 start|stop dbus|pulse|http" >&2; exit 2 ;;
  esac
fi
