#!/usr/bin/env bash
# Builds Qt 6 (Core, Gui, Widgets, Test; the windows and offscreen platform plugins) for 64-bit
# Windows with Debian's mingw-w64, from Debian's own qt6-base source, and installs it into the
# folder given as argument. About 20 minutes on 2 cores on Debian 12, 44 on Debian 13. Run as root
# on Debian 12 or 13; used by scripts/windows.sh when no ready-made Qt for Windows is at hand.
#   bash scripts/qt-win64.sh <prefix>
set -euo pipefail
prefix=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(dirname "$prefix")/qt6-win64-source
bash "$here/packages.sh" dpkg-dev cmake ninja-build perl python3 qt6-base-dev qt6-base-dev-tools \
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix

# apt-get source needs deb-src entries: add them for the same mirrors and suites as the
# machine's Debian deb entries (one-line lists and deb822 .sources files).
if ! apt-get source --print-uris qt6-base >/dev/null 2>&1; then
  list=/etc/apt/sources.list.d/dovrel-deb-src.list
  sources=/etc/apt/sources.list.d/dovrel-deb-src.sources
  cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null \
    | grep -E '^deb[[:space:]]' | grep -F debian | sed -E 's/^deb([[:space:]])/deb-src\1/' > "$list.new" || true
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] && [ "$f" != "$sources" ] || continue
    # One paragraph per entry: keep the Debian ones that are "deb" only, as "deb-src".
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Types:[ \t]*deb[ \t]*(\n|$)/ && /debian/ { sub(/Types:[ \t]*deb/, "Types: deb-src"); print }' "$f"
  done > "$sources.new"
  for f in "$list" "$sources"; do
    if [ -s "$f.new" ]; then mv "$f.new" "$f"; else rm -f "$f.new"; fi
  done
  apt-get update -q
fi

rm -rf "$work"
mkdir -p "$work"
cd "$work"
apt-get source -q qt6-base
# apt-get source unpacks into one folder (qt6-base-<version>) with Debian's patches applied.
src=$(dirname "$(find "$work" -mindepth 2 -maxdepth 2 -type f -name configure | head -n 1)")
[ -f "$src/configure" ] || { echo "qt6-base source not found in $work" >&2; exit 1; }

# The cross toolchain, kept inside the prefix: Qt's own toolchain file chain-loads it.
toolchain=$prefix/lib/cmake/Qt6/mingw64-toolchain.cmake
mkdir -p "$(dirname "$toolchain")"
cat > "$toolchain" <<'CMAKE'
# Cross toolchain: Debian mingw-w64 (posix threads) -> x86_64 Windows
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(_tc x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   /usr/bin/${_tc}-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/${_tc}-g++-posix)
set(CMAKE_RC_COMPILER  /usr/bin/${_tc}-windres)
set(CMAKE_AR           /usr/bin/${_tc}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB       /usr/bin/${_tc}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_FIND_ROOT_PATH /usr/${_tc})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
CMAKE

# The dfsg source lacks wintab, sqlite and iaccessible2: no tablet events, no SQL. Direct2D
# stays on (the windows plugin does not link without it in this version).
mkdir -p "$work/build"
cd "$work/build"
"$src/configure" -prefix "$prefix" -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32- \
  -qt-host-path /usr -release -nomake examples -nomake tests -nomake benchmarks -no-opengl -no-dbus \
  -no-pkg-config -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz \
  -qt-doubleconversion -no-feature-tabletevent -no-feature-network -no-feature-sql \
  -no-feature-printsupport -no-feature-concurrent -no-feature-xml -- -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
cmake --build . -j2
cmake --install .
rm -rf "$work"
echo "Qt for Windows installed in $prefix"
