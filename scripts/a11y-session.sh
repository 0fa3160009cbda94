#!/usr/bin/env bash
# Runs a command with its own X display (Xvfb), its own D-Bus session and accessibility bus,
# and Qt's AT-SPI bridge switched on, as a screen reader's desktop would have it.
#   scripts/a11y-session.sh COMMAND [ARGS...]
set -euo pipefail
if [ -z "${DOVREL_A11Y_SESSION:-}" ]; then
  export DOVREL_A11Y_SESSION=1
  exec dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
trap 'kill "$launcher" 2>/dev/null || true' EXIT
# Bounded wait for the accessibility bus to answer on the session bus.
for _ in $(seq 1 50); do
  if dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
       >/dev/null 2>&1; then
    break
  fi
  sleep 0.2
done

export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
status=0
"$@" || status=$?
exit "$status"
