#!/usr/bin/env bash
# Renews docs/main-window.png and docs/log-window.png: runs the windows with the recorder
# simulator under Xvfb and saves what they show. The windows see a fixed date and time (faketime:
# the log and the list's date show the clock), a picture is replaced only when its pixels differ
# from the one in docs/, and it is written without time or text chunks, so that a run that shows
# nothing new leaves the checkout as it was.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/packages.sh cmake ninja-build g++ qt6-base-dev fonts-liberation xvfb xauth imagemagick faketime
cmake -S . -B build -G Ninja
cmake --build build --target dovrel-screenshots ReplayPC PShell -j2
source scripts/runtime-dir.sh
shots=$(mktemp -d)
trap 'rm -rf "$shots"; remove_runtime_dir' EXIT
# The wall clock stands still; Qt's timers keep the real monotonic clock.
QT_QPA_PLATFORM=xcb FAKETIME_DONT_FAKE_MONOTONIC=1 xvfb-run -a -s "-screen 0 1280x800x24" \
  faketime -f '2002-12-21 20:00:00' \
  build/app/dovrel-screenshots build/simulator/ReplayPC build/simulator/PShell.exe "$shots"

mkdir -p docs
for shot in "$shots"/*.png; do
  picture=docs/$(basename "$shot")
  # compare counts the pixels that differ: status 0 when none does, 1 when some do, 2 when the
  # sizes differ or a picture cannot be read.
  if [ -f "$picture" ] && compare -metric AE "$picture" "$shot" null: 2>/dev/null; then
    echo "$picture: unchanged"
  else
    convert "$shot" -strip -define png:exclude-chunks=date,time "$picture"
    echo "$picture: renewed"
  fi
done
