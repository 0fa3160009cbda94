#!/usr/bin/env bash
# Run by scripts/windows.sh inside Xvfb: starts the Windows program under Wine in <folder>
# (which holds the program, the simulator tools and a DOVLIP.dat with an address), clicks Get
# Guide, and saves the main window as <picture> once the column check (dovrel-columncheck.exe,
# run under Wine) passes on it: the rows are drawn and line up under the header. It gives up
# after a time limit, printing the check's last words.
#   windows-screenshot.sh <wine wrapper> <folder> <picture> <column check>
set -euo pipefail
wrapper=$1
dir=$2
out=$3
columncheck=$4
title='Dovrel Mpeg Utility'
limit=60 # seconds for the rows to be drawn after the guide is there

export DOVREL_WINE_DISPLAY=1 # the wrapper keeps the display: the windows plugin, real windows
unset QT_QPA_PLATFORM QT_SCALE_FACTOR
# The program finds its DLLs in its own folder only, as for a user who unpacked the zip.
(cd "$dir" && DOVREL_WINE_OWN_FOLDER=1 exec "$wrapper" dovrel-mpeg-utility.exe) >/dev/null 2>&1 &
program=$!

win=$(timeout 120 xdotool search --sync --onlyvisible --name "^$title\$" | sed -n 1p)
[ -n "$win" ] || { echo "the main window did not appear" >&2; exit 1; }

# The window is mapped before it is drawn, and may still be placed: the click below must wait
# until two looks at it, half a second apart, find the same place and size and the same picture,
# drawn in more than one colour.
look=$(mktemp --suffix=.png)
seen='' still='' since=$SECONDS
while [ $((SECONDS - since)) -lt 30 ]; do
  place=$(xdotool getwindowgeometry --shell "$win" 2>/dev/null || true)
  colours=0 picture=''
  if import -window "$win" "$look" 2>/dev/null; then
    read -r colours picture < <(identify -format '%k %#\n' "$look" 2>/dev/null || echo '0 -')
  fi
  now="$place $picture"
  if [ "$colours" -gt 1 ] && [ "$now" = "$seen" ]; then
    still=1
    break
  fi
  seen=$now
  sleep 0.5
done
rm -f "$look"
[ -n "$still" ] || { echo "the main window was not drawn and still within 30 s of appearing" >&2; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$win")" # X Y WIDTH HEIGHT of the client area

# Get Guide lies at 960,6000 twips, 975 x 615, at 15 twips a pixel: its centre is 96,420.
xdotool mousemove --window "$win" 96 420 click 1
for _ in $(seq 60); do
  [ -f "$dir/guide.txt" ] && break
  sleep 0.5
done
[ -f "$dir/guide.txt" ] || { echo "Get Guide left no guide.txt" >&2; exit 1; }

# The list fills and the window repaints: the picture is taken again until the column check
# passes on it.
shot=$(mktemp --suffix=.png)
waited=$SECONDS
while :; do
  import -window root "$shot"
  convert "$shot" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
  if result=$("$wrapper" "$columncheck" "Z:$out" 2>&1); then
    break
  fi
  if [ $((SECONDS - waited)) -ge "$limit" ]; then
    printf '%s\n' "$result"
    echo "the list's rows were not drawn in line within $limit s of the guide" >&2
    rm -f "$shot"
    exit 1
  fi
  sleep 1
done
rm -f "$shot"
kill "$program" 2>/dev/null || true
echo "wrote $out (${WIDTH}x${HEIGHT}) after $((SECONDS - waited)) s"
