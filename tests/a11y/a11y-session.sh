#!/usr/bin/env bash
# Runs a command with its own X display (Xvfb), its own D-Bus session and accessibility bus,
# and Qt's AT-SPI bridge switched on, as a screen reader's desktop would have it.
#   --limit SECONDS   the whole session is ended after that long, with a message that says so
#   --window-manager  a window manager (openbox) runs there too: it gives a new window the focus
#                     and activates a window when asked through _NET_ACTIVE_WINDOW, as a desktop does
#   --work-dir BUILD  the command runs in a fresh working directory holding the recorder
#                     simulator's tools from that build and a settings file with an address
#   tests/a11y/a11y-session.sh [--limit SECONDS] [--window-manager] [--work-dir BUILD] COMMAND [ARGS...]
set -euo pipefail
args=("$@")
limit='' window_manager='' build=''
while [ $# -gt 0 ]; do
  case "$1" in
    --limit) limit=$2; shift 2 ;;
    --window-manager) window_manager=1; shift ;;
    --work-dir) build=$(cd "$2" && pwd); shift 2 ;;
    *) break ;;
  esac
done

if [ -z "${DOVREL_A11Y_SESSION:-}" ]; then
  export DOVREL_A11Y_SESSION=1
  session=(dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "${args[@]}")
  [ -n "$limit" ] || exec "${session[@]}"
  status=0
  timeout "$limit" "${session[@]}" || status=$?
  [ "$status" -ne 124 ] || echo "FAIL: the session did not end within $limit s: $*" >&2
  exit "$status"
fi

pids=() work=''
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; [ -z "$work" ] || rm -rf "$work"' EXIT

if [ -n "$window_manager" ]; then
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  # Bounded wait for it to manage the screen: it then answers which desktop is current.
  for _ in $(seq 1 100); do
    xdotool get_desktop >/dev/null 2>&1 && break
    sleep 0.1
  done
  if ! xdotool get_desktop >/dev/null 2>&1; then
    echo "a11y-session: the window manager did not start within 10 s" >&2
    exit 1
  fi
fi

if [ -n "$build" ]; then
  work=$(mktemp -d)
  install -m 755 "$build/simulator/ReplayPC" "$work/ReplayPC"
  install -m 755 "$build/simulator/PShell.exe" "$work/PShell.exe"
  printf '"192.168.0.20","Default"\r\n' > "$work/DOVLIP.dat"
  cd "$work"
fi

/usr/libexec/at-spi-bus-launcher --launch-immediately &
pids+=($!)
# Bounded wait for the accessibility bus to answer on the session bus.
bus_answers() {
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    >/dev/null 2>&1
}
for _ in $(seq 1 50); do
  bus_answers && break
  sleep 0.2
done
if ! bus_answers; then
  echo "a11y-session: the accessibility bus (at-spi-bus-launcher) did not answer within 10 s" >&2
  exit 1
fi

export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
status=0
"$@" || status=$?
exit "$status"
