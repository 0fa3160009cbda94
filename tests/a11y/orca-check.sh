#!/usr/bin/env bash
# What the Orca screen reader says about the list's ticks: starts the program on its own X
# display and accessibility bus, with a window manager, in a fresh working directory with the
# recorder simulator, and Orca beside it (tests/a11y/orca_check.py): every tick must be heard.
#   tests/a11y/orca-check.sh BUILD_DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?usage: orca-check.sh BUILD_DIR}" && pwd)"

[ -n "${DOVREL_A11Y_SESSION:-}" ] ||
  exec bash "$here/a11y-session.sh" --limit 150 --window-manager --work-dir "$build" bash "$here/${0##*/}" "$build"

REPLAYSIM_FAST=1 /usr/bin/python3 "$here/orca_check.py" --timeout "${ORCA_WAIT_SECONDS:-60}" \
  -- "$build/app/dovrel-mpeg-utility"
