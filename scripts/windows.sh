#!/usr/bin/env bash
# The Windows build, from this Debian machine: cross-builds the program, the recorder simulator
# and every test program for 64-bit Windows (warnings are errors), runs the test suite under
# Wine, packs dist/dovrel-mpeg-utility-<version>-win64-qt<Qt version>.zip and takes the Windows picture
# dist/main-window-windows.png under Wine and Xvfb (with --renew-docs, docs/ gets it too). Run as
# root on Debian 12 or 13.
#
# Qt for Windows has the version of the release's own Qt (qt6-base-dev, whose host tools it uses)
# and is built with the release's mingw-w64: ../shared/qt6-win64/qt6-win64-<version>.tar.xz when
# present, unpacked once into the cache folder; otherwise built once from Debian's qt6-base
# source by scripts/qt-win64.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
renew_docs=0
case "${1:-}" in
  '') ;;
  --renew-docs) renew_docs=1 ;;
  *) echo "usage: $0 [--renew-docs]" >&2; exit 2 ;;
esac
root=$PWD
started=$SECONDS

# The cross compiler and Qt's host tools; Wine with its own faces (fonts-wine, which Wine only
# recommends) and every face a test names, which Wine finds among the system's fonts; a virtual
# display for the tests and the picture; packing.
packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  qt6-base-dev qt6-base-dev-tools cmake ninja-build
  wine wine64 fonts-wine
  fonts-liberation 'fonts-liberation-sans-narrow|fonts-liberation' fonts-dejavu-core fonts-noto-mono
  fonts-urw-base35
  xvfb xauth xdotool imagemagick
  zip unzip xz-utils
  locales mount util-linux
)
bash scripts/packages.sh "${packages[@]}"
# test_extract_cp1251 runs under Wine with a Russian locale, from which Wine takes the ANSI code
# page 1251, and the *_cp932 tests with a Japanese one, which gives the double-byte 932; a
# locale missing on this system would leave Wine on 1252.
locale -a | grep -x 'ru_RU.utf8' >/dev/null || localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
locale -a | grep -x 'ja_JP.utf8' >/dev/null || localedef -i ja_JP -f UTF-8 ja_JP.UTF-8

# What this release has: the host Qt's version (6.4.2 on Debian 12, 6.8.2 on 13) and the folder
# of the cross compiler's runtime DLLs (.../12-posix, .../14-posix), asked of the compiler.
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev | sed -n 's/^\([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p')
[ -n "$qt_version" ] || { echo "cannot tell the version of qt6-base-dev" >&2; exit 1; }
gcc_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
[ -f "$gcc_runtime/libstdc++-6.dll" ] || { echo "no libstdc++-6.dll in $gcc_runtime" >&2; exit 1; }
echo "host Qt $qt_version, mingw-w64 g++ $(x86_64-w64-mingw32-g++-posix -dumpversion) ($gcc_runtime)"

cache=${XDG_CACHE_HOME:-$HOME/.cache}/dovrel-win
qt=$cache/qt6-win64-$qt_version-$(basename "$gcc_runtime")
shared=$root/../shared/qt6-win64/qt6-win64-$qt_version.tar.xz
build=$root/build-win
mingw_dlls=("$gcc_runtime" /usr/x86_64-w64-mingw32/lib)

echo "== Qt for Windows =="
if [ ! -x "$qt/bin/qt-cmake" ]; then
  if [ -f "$shared" ]; then
    rm -rf "$qt.partial" && mkdir -p "$qt.partial"
    tar -xJf "$shared" -C "$qt.partial"
    rm -rf "$qt" && mv "$qt.partial" "$qt"
  else
    bash scripts/qt-win64.sh "$qt"
  fi
fi
echo "using $qt"

winpath() { printf 'Z:%s' "${1//\//\\}"; }

echo "== Wine prefix and runner =="
mkdir -p "$build"
prefix=$build/wineprefix
rm -rf "$prefix"
# Every Wine session this script starts (the build's prefix, the picture's) is ended when the
# script ends, however it ends: Wine leaves its server and wineboot.exe running otherwise.
wine_prefixes=("$prefix")
end_wine() {
  local p
  for p in "${wine_prefixes[@]}"; do
    if [ -d "$p" ]; then WINEPREFIX="$p" wineserver -k >/dev/null 2>&1 || true; fi
  done
  if [ -n "${small_disk:-}" ] && mountpoint -q "$small_disk"; then umount "$small_disk" || true; fi
}
trap end_wine EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP
# Every Wine run of this script goes through this wrapper: a private prefix, no Mono or Gecko
# prompts, quiet, Qt's variables passed as Wine wants them, and the DLLs found on WINEPATH.
cat > "$build/wine-run.sh" <<WRAPPER
#!/bin/sh
# Runs a Windows program under Wine for the Windows build (made by scripts/windows.sh), in the
# build's prefix or in the one DOVREL_WINE_PREFIX names.
export WINEPREFIX="\${DOVREL_WINE_PREFIX:-$prefix}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
export WINEQT_FORCE_STDERR_LOGGING=1
# Wine hands no QT_ variable to the program; WINEQT_<NAME> reaches it as QT_<NAME>.
for name in \$(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
  eval "export WINE\$name=\"\\\$\$name\""
done
# Programs find the DLLs on the search path, unless DOVREL_WINE_OWN_FOLDER is set: then only what
# lies in the program's own folder counts, as for a user who unpacked the zip.
if [ -z "\${DOVREL_WINE_OWN_FOLDER:-}" ]; then
  export WINEPATH='$(winpath "$qt/bin");$(winpath "${mingw_dlls[0]}");$(winpath "${mingw_dlls[1]}")'
fi
# Tests draw offscreen, with Wine's own fonts, unless DOVREL_WINE_DISPLAY asks for real windows
# on the display. The display stays set either way: the first program of a Wine session picks
# the graphics driver for every later one.
if [ -z "\${DOVREL_WINE_DISPLAY:-}" ]; then
  export WINEQT_QPA_PLATFORM=offscreen
  export WINEQT_QPA_FONTDIR='$(winpath /usr/share/wine/fonts)'
fi
# A process that Wine starts beside the program (a console host, one of its services) may outlive
# it; holding this run's output pipe, it would keep whoever reads the pipe (CTest) waiting until
# a time-out. The program's output goes to files instead, copied out once it has ended.
# A signal to this run (a time-out, a kill) is handed on to the program.
out=\$(mktemp) && err=\$(mktemp) || exit 1
wine "\$@" >"\$out" 2>"\$err" &
pid=\$!
trap 'kill -TERM \$pid 2>/dev/null' INT TERM HUP
while :; do
  wait \$pid
  status=\$?
  kill -0 \$pid 2>/dev/null || break
done
cat "\$out"
cat "\$err" >&2
rm -f "\$out" "\$err"
exit \$status
WRAPPER
chmod +x "$build/wine-run.sh"
env -u DISPLAY WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' \
  wineboot -i >/dev/null 2>&1 || true
WINEPREFIX="$prefix" wineserver -w
[ -f "$prefix/system.reg" ] || { echo "could not make the Wine prefix $prefix" >&2; exit 1; }
# No font replacements: the tests see Wine's faces as a user's own prefix has them, without
# "Courier New" or "Microsoft Sans Serif", and the program chooses its faces by their kind.
# A program that crashes ends its test at once instead of waiting in a crash dialog.
env -u DISPLAY "$build/wine-run.sh" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
  /t REG_DWORD /d 0 /f >/dev/null 2>&1
WINEPREFIX="$prefix" wineserver -w

echo "== cross-build =="
"$qt/bin/qt-cmake" -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DCMAKE_CROSSCOMPILING_EMULATOR="$build/wine-run.sh" >/dev/null
cmake --build "$build" -j2

# The program carries its version resource: the VERSIONINFO block's own FileVersion (the project's
# version and a build number) and ProductName, read back from the file by windres. Looking for
# the strings anywhere in the file would not do: the window's title is the product name too.
version=$(sed -n 's/^project(dovrel_mpeg_utility VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
check_version_resource() {
  local rc file_version product_name
  rc=$(x86_64-w64-mingw32-windres -J coff -O rc -i "$1" 2>&1) || {
    echo "$1 carries no version resource: $rc" >&2; return 1; }
  # VALUE "Key", "text" lines after the VERSIONINFO line: the text between the third and
  # fourth quote.
  value() {
    awk -v key="$1" -F'"' '/VERSIONINFO/ { block = 1 }
      block && $1 ~ /^[ \t]*VALUE[ \t]*$/ && $2 == key { print $4; exit }' <<<"$rc"
  }
  file_version=$(value FileVersion)
  product_name=$(value ProductName)
  if [[ $file_version =~ ^${version//./\\.}\.[0-9]+$ && $product_name == "Dovrel Mpeg Utility" ]]; then
    echo "$(basename "$1"): version resource FileVersion \"$file_version\", ProductName \"$product_name\""
  else
    echo "$1 carries no version resource for $version (FileVersion \"$file_version\"," \
      "ProductName \"$product_name\")" >&2
    return 1
  fi
}
check_version_resource "$build/app/dovrel-mpeg-utility.exe"

echo "== tests under Wine =="
# A small file system of its own, mounted here where the wineserver sees it (a program under Wine
# cannot mount one), lets the tests fill a disk for real; without the right to mount, those rows
# are skipped and say why.
small_disk=$build/small-disk
mkdir -p "$small_disk"
mountpoint -q "$small_disk" && umount "$small_disk"
if mount -t tmpfs -o size=256k dovrel-test "$small_disk" 2>/dev/null; then
  DOVREL_SMALL_DISK=$(winpath "$small_disk")
  export DOVREL_SMALL_DISK
fi
# Most tests draw offscreen; the header and accessibility tests use real windows on this display,
# large enough for the main window at twice its size.
# The Wine session (the server and Wine's own services and desktop) is started before the tests,
# with its output going nowhere, and kept until they end: started by the first test program, it
# would hold that program's output pipe open and CTest would wait for the pipe until the test's
# time-out.
xvfb-run -a -s "-screen 0 2560x1600x24" bash -c '
  WINEPREFIX="$1" wineserver -p </dev/null >/dev/null 2>&1
  "$2" wineboot </dev/null >/dev/null 2>&1
  exec ctest --test-dir "$3" --output-on-failure -j2' session "$prefix" "$build/wine-run.sh" "$build"
WINEPREFIX="$prefix" wineserver -k || true

echo "== package =="
# The Qt line is in the name: the zips made on Debian 12 and 13 cannot be mixed up.
name=dovrel-mpeg-utility-$version-win64-qt$qt_version
stage=$build/stage/$name
rm -rf "$build/stage" && mkdir -p "$stage/platforms" "$stage/styles" "$stage/demo"
cp "$build/app/dovrel-mpeg-utility.exe" "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
# The Windows style this Qt has: qwindowsvistastyle.dll in 6.4, qmodernwindowsstyle.dll in 6.8.
styles=("$qt"/plugins/styles/*.dll)
[ -f "${styles[0]}" ] || { echo "no style plugin in $qt/plugins/styles" >&2; exit 1; }
cp "${styles[@]}" "$stage/styles/"
cp "$build/simulator/ReplayPC.exe" "$build/simulator/PShell.exe" "$stage/demo/"

# Every DLL that the program, the simulator or the plugins import, found in Qt's bin folder or
# the mingw runtime, goes beside the program; Windows' own DLLs are not shipped.
find_dll() {
  local d
  for d in "$qt/bin" "${mingw_dlls[@]}"; do
    if [ -f "$d/$1" ]; then echo "$d/$1"; return; fi
  done
}
queue=("$stage"/*.exe "$stage"/demo/*.exe "$stage"/platforms/*.dll "$stage"/styles/*.dll)
while [ ${#queue[@]} -gt 0 ]; do
  file=${queue[0]}; queue=("${queue[@]:1}")
  for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
    [ -f "$stage/$dll" ] && continue
    found=$(find_dll "$dll")
    [ -n "$found" ] || continue
    cp "$found" "$stage/"
    queue+=("$stage/$dll")
  done
done
# Debugging symbols are no use to the users: strip every binary shipped.
x86_64-w64-mingw32-strip --strip-unneeded "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.exe "$stage"/*/*.dll
check_version_resource "$stage/dovrel-mpeg-utility.exe"

sed 's/$/\r/' > "$stage/README.txt" <<TEXT
Dovrel Mpeg Utility $version for Windows (64-bit), built with Qt $qt_version

Off-loads recordings from a networked video recorder to this computer as MPEG files. The
program drives two command-line tools of the recorder, ReplayPC and PShell.exe, which it
expects in its working directory.

Installing
- Unpack this zip into the folder that holds ReplayPC.exe and PShell.exe, or copy those two
  tools into the folder you unpacked it to. Keep the DLL files and the "platforms" and "styles"
  folders beside dovrel-mpeg-utility.exe.
- Start dovrel-mpeg-utility.exe from that folder (its working directory must be the folder of
  the tools). The program keeps DOVLIP.dat (address and delay) and DOVLGUIDE.LOG (activity log)
  there, and saves the recordings there.

Trying it without a recorder
- The "demo" folder holds stand-ins for ReplayPC.exe and PShell.exe that simulate a recorder.
  Copy both into the program's folder (only where the real tools are not), start the program,
  type an address such as 192.168.0.20 and click Get Guide.
- The demo folder is kept apart so that unpacking this zip never replaces the real tools.

Using it
1. Type the recorder's address under "IP Address"; tick "Use ReplayPC Default Delay" or type a
   delay from 0 to 48 under "Delay".
2. Click Get Guide once per run. Tick the recordings you want in the list.
3. Click Extract Mpeg(s). Each recording is saved as title_date.mpg ("_01" to "_05" is added when
   the name is taken). A recording that cannot be saved under its name (a name Windows does not
   allow, or a file of that name held by another program) stays under the recorder's file name
   and is listed in a message at the end.
4. View Log shows the activity log. Exit saves the address and delay.
TEXT

mkdir -p dist
rm -f "dist/$name.zip" "dist/$name.zip.sha256"
(cd "$stage" && zip -q -r -X "$root/dist/$name.zip" .)
unzip -l "dist/$name.zip"
# The zip is whole and holds what a user needs: the program, its readme, the demo tools, Qt's
# libraries, the Windows platform and style plugins and the compiler's runtime.
unzip -tq "dist/$name.zip"
listing=$(unzip -Z1 "dist/$name.zip")
for entry in README.txt dovrel-mpeg-utility.exe demo/ReplayPC.exe demo/PShell.exe \
    Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll "styles/$(basename "${styles[0]}")" \
    libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
  grep -Fqx -- "$entry" <<<"$listing" || { echo "dist/$name.zip lacks $entry" >&2; exit 1; }
done
# The sum beside the zip lets its users check what they downloaded (the README says how); it is
# checked here as they would check it.
(cd dist && sha256sum "$name.zip" > "$name.zip.sha256" && cat "$name.zip.sha256" && sha256sum -c "$name.zip.sha256")

echo "== screenshot under Wine and Xvfb =="
shot=$build/screenshot
# The program runs as a user would run it: unpacked from the zip, the demo tools beside it, in a
# prefix of its own as Wine makes it, without the faces of Windows.
rm -rf "$shot" && mkdir -p "$shot/folder" && unzip -q "dist/$name.zip" -d "$shot/folder"
cp "$shot"/folder/demo/*.exe "$shot/folder/"
printf '"192.168.0.20","Default"\r\n' > "$shot/folder/DOVLIP.dat"
export DOVREL_WINE_PREFIX=$shot/prefix
wine_prefixes+=("$DOVREL_WINE_PREFIX")
env -u DISPLAY "$build/wine-run.sh" wineboot -i >/dev/null 2>&1 || true
WINEPREFIX="$DOVREL_WINE_PREFIX" wineserver -w
xvfb-run -a -s "-screen 0 1280x800x24" bash scripts/windows-screenshot.sh "$build/wine-run.sh" \
  "$shot/folder" "$shot/main-window.png" "$build/tests/ui/dovrel-columncheck.exe"
WINEPREFIX="$DOVREL_WINE_PREFIX" wineserver -k || true
unset DOVREL_WINE_PREFIX
# The picture is kept only when every row's columns start at one x and the header's names over
# them, measured on the picture itself.
"$build/wine-run.sh" "$build/tests/ui/dovrel-columncheck.exe" "$(winpath "$shot/main-window.png")"
# It shows the day's date, so it lands in dist/; --renew-docs puts it in docs/ as well.
cp "$shot/main-window.png" dist/main-window-windows.png
if [ "$renew_docs" = 1 ]; then
  convert "$shot/main-window.png" -strip -define png:exclude-chunks=date,time docs/main-window-windows.png
fi
WINEPREFIX="$prefix" wineserver -k || true

echo "== done in $((SECONDS - started)) s: dist/$name.zip (.sha256), dist/main-window-windows.png =="
