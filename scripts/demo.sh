#!/usr/bin/env bash
# Builds the program and starts it in demo/, beside the recorder simulator standing in for
# ReplayPC and PShell.exe. Run as root on Debian 12 (it installs what is missing).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/packages.sh cmake ninja-build g++ qt6-base-dev fonts-liberation

cmake -S . -B build -G Ninja
cmake --build build --target dovrel-mpeg-utility ReplayPC PShell -j2

mkdir -p demo
install -m 755 build/simulator/ReplayPC demo/ReplayPC
install -m 755 build/simulator/PShell.exe demo/PShell.exe
cd demo
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: start this from a desktop session (or under xvfb-run)." >&2
  exit 1
fi
exec ../build/app/dovrel-mpeg-utility
