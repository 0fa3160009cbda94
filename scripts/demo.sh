#!/usr/bin/env bash
# Builds the program and starts it in demo/, beside the recorder simulator standing in for
# ReplayPC and PShell.exe. Run as root on Debian 12 or 13 (it installs what is missing).
# Without a display (no desktop session, no ssh -X) it starts the program on a virtual display of
# its own with a window manager (openbox, so windows have their frames and captions), saves a
# picture of that screen as demo/screen.png and says how to take another; the program then runs
# until it is closed or the script is stopped (Ctrl+C).
set -euo pipefail
cd "$(dirname "$0")/.."
# Build tools and Qt; the metric-compatible faces the program asks for on Linux.
packages=(cmake ninja-build g++ qt6-base-dev fonts-liberation)
# The virtual display and its window manager, a way to find the window on it and to take its
# picture.
headless_packages=(xvfb openbox xdotool imagemagick)
headless=
[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || headless=1
bash scripts/packages.sh "${packages[@]}" ${headless:+"${headless_packages[@]}"}

cmake -S . -B build -G Ninja
cmake --build build --target dovrel-mpeg-utility ReplayPC PShell -j2

mkdir -p demo
install -m 755 build/simulator/ReplayPC demo/ReplayPC
install -m 755 build/simulator/PShell.exe demo/PShell.exe
cd demo
source ../scripts/runtime-dir.sh
if [ -z "$headless" ]; then
  ../build/app/dovrel-mpeg-utility
  exit
fi

xvfb=
window_manager=
program=
stop() {
  [ -z "$program" ] || kill "$program" 2>/dev/null || true
  [ -z "$window_manager" ] || kill "$window_manager" 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  remove_runtime_dir
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Xvfb picks a free display number and writes it to the file; local programs may connect.
number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$number_file" ] && break
  sleep 0.1
done
number=$(head -n 1 "$number_file")
rm -f "$number_file"
[ -n "$number" ] || { echo "the virtual display did not start" >&2; exit 1; }
export DISPLAY=:$number

openbox --sm-disable >/dev/null 2>&1 &
window_manager=$!
# It manages the screen once it answers which desktop is current.
for _ in $(seq 100); do
  xdotool get_desktop >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool get_desktop >/dev/null 2>&1 || { echo "the window manager did not start on $DISPLAY" >&2; exit 1; }

../build/app/dovrel-mpeg-utility &
program=$!
if ! timeout 60 xdotool search --sync --onlyvisible --name '^Dovrel Mpeg Utility$' >/dev/null; then
  echo "the program's window did not appear on the virtual display $DISPLAY" >&2
  exit 1
fi
sleep 1 # the first paint
import -window root screen.png
cat <<TEXT
The program runs on the virtual display $DISPLAY (no display was found); its screen is in
$PWD/screen.png. Take another picture with
    DISPLAY=$DISPLAY import -window root $PWD/screen.png
and steer it with xdotool; for example Get Guide is clicked by
    DISPLAY=$DISPLAY xdotool search --onlyvisible --name '^Dovrel Mpeg Utility\$' mousemove --window %1 96 420 click 1
Stop it with Ctrl+C.
TEXT
wait "$program"
