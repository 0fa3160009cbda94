#!/usr/bin/env bash
# Renews docs/main-window.png and docs/log-window.png: runs the windows with the recorder
# simulator under Xvfb and saves what they show.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/packages.sh cmake ninja-build g++ qt6-base-dev fonts-liberation xvfb xauth
cmake -S . -B build -G Ninja
cmake --build build --target dovrel-screenshots ReplayPC PShell -j2
mkdir -p docs
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
  build/app/dovrel-screenshots build/simulator/ReplayPC build/simulator/PShell.exe docs
