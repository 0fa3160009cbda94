#!/usr/bin/env bash
# What the Orca screen reader says about the list's ticks: starts the program on its own X
# display and accessibility bus, with a window manager, in a fresh working directory with the
# recorder simulator, and Orca beside it (scripts/orca_check.py): every tick must be heard.
#   scripts/orca-check.sh BUILD_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?usage: orca-check.sh BUILD_DIR}" && pwd)"

if [ -z "${DOVREL_A11Y_SESSION:-}" ]; then
  status=0
  timeout 150 bash "$here/a11y-session.sh" --window-manager bash "$0" "$@" || status=$?
  [ "$status" -ne 124 ] || echo "FAIL: the Orca session did not end within 150 s" >&2
  exit "$status"
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
install -m 755 "$build/simulator/ReplayPC" "$work/ReplayPC"
install -m 755 "$build/simulator/PShell.exe" "$work/PShell.exe"
printf '"192.168.0.20","Default"\r\n' > "$work/DOVLIP.dat"
cd "$work"
REPLAYSIM_FAST=1 /usr/bin/python3 "$here/orca_check.py" --timeout "${ORCA_WAIT_SECONDS:-60}" \
  -- "$build/app/dovrel-mpeg-utility"
