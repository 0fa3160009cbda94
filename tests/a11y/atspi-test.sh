#!/usr/bin/env bash
# End-to-end accessibility check: starts the program on its own X display and accessibility
# bus, with a window manager, in a fresh working directory with the recorder simulator and a
# settings file holding an address, and drives it with an AT-SPI client (tests/a11y/atspi_check.py).
# First a second copy is started in the same folder: it must end by itself with status 1 once its
# message box is answered, leaving the folder as it was. Each run of the client gives up after
# ATSPI_WAIT_SECONDS (30), naming the step that was waiting.
#   tests/a11y/atspi-test.sh BUILD_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?usage: atspi-test.sh BUILD_DIR}" && pwd)"

[ -n "${DOVREL_A11Y_SESSION:-}" ] ||
  exec bash "$here/a11y-session.sh" --limit 120 --window-manager --work-dir "$build" bash "$here/${0##*/}" "$build"

(REPLAYSIM_FAST=1 exec "$build/app/dovrel-mpeg-utility") &
program=$!

status=0
/usr/bin/python3 "$here/atspi_check.py" --timeout "${ATSPI_WAIT_SECONDS:-30}" \
  --second-copy "$build/app/dovrel-mpeg-utility" || status=$?
/usr/bin/python3 "$here/atspi_check.py" --timeout "${ATSPI_WAIT_SECONDS:-30}" || status=$?
if ! kill -0 "$program" 2>/dev/null; then
  echo "FAIL: the program ended during the check" >&2
  status=1
fi
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
exit "$status"
