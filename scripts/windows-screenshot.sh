#!/usr/bin/env bash
# Run by scripts/windows.sh inside Xvfb: starts the Windows program under Wine in <folder>
# (which holds the program, the simulator tools and a DOVLIP.dat with an address), clicks Get
# Guide, and saves the main window as <picture>.
#   windows-screenshot.sh <wine wrapper> <folder> <picture>
set -euo pipefail
wrapper=$1
dir=$2
out=$3
title='Dovrel Mpeg Utility'

export DOVREL_WINE_DISPLAY=1    # the wrapper keeps the display: the windows plugin, real windows
export DOVREL_WINE_OWN_FOLDER=1 # and the program finds its DLLs in its own folder only
unset QT_QPA_PLATFORM QT_SCALE_FACTOR
(cd "$dir" && exec "$wrapper" dovrel-mpeg-utility.exe) >/dev/null 2>&1 &
program=$!

win=$(timeout 120 xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1)
[ -n "$win" ] || { echo "the main window did not appear" >&2; exit 1; }
sleep 2
eval "$(xdotool getwindowgeometry --shell "$win")" # X Y WIDTH HEIGHT of the client area

# Get Guide lies at 960,6000 twips, 975 x 615, at 15 twips a pixel: its centre is 96,420.
xdotool mousemove --window "$win" 96 420 click 1
for _ in $(seq 60); do
  [ -f "$dir/guide.txt" ] && break
  sleep 0.5
done
[ -f "$dir/guide.txt" ] || { echo "Get Guide left no guide.txt" >&2; exit 1; }
sleep 3 # the list fills and the window repaints

shot=$(mktemp --suffix=.png)
import -window root "$shot"
convert "$shot" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
rm -f "$shot"
kill "$program" 2>/dev/null || true
echo "wrote $out (${WIDTH}x${HEIGHT})"
