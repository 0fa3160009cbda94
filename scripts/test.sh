#!/usr/bin/env bash
# Builds and runs every test: the normal build, the sanitizer build (ASan + UBSan) and a bounded
# fuzzing run of the guide parser, the settings reader and the typed delay. Run as root on
# Debian 12 or 13.
set -euo pipefail
cd "$(dirname "$0")/.."
# Build tools and Qt; every face a test names (Liberation Sans Narrow is part of fonts-liberation
# on Debian 12, a package of its own on 13); clang with its sanitizer and fuzzer runtime; the
# virtual display, D-Bus, a window manager, the AT-SPI client and the Orca screen reader of the
# accessibility checks; libfaketime for the test of a tool that outlasts Qt's default wait.
packages=(
  cmake ninja-build g++ qt6-base-dev
  fonts-liberation 'fonts-liberation-sans-narrow|fonts-liberation' fonts-dejavu-core fonts-noto-mono
  fonts-urw-base35 libfaketime
  clang libclang-rt-dev llvm
  xvfb xauth xdotool dbus dbus-x11 at-spi2-core python3-pyatspi openbox orca
)
bash scripts/packages.sh "${packages[@]}"
source scripts/runtime-dir.sh

export QT_QPA_PLATFORM=offscreen

echo "== build and test == (at $SECONDS s)"
cmake --preset normal
cmake --build --preset normal
ctest --preset normal

echo "== accessibility, end to end through an AT-SPI client == (at $SECONDS s)"
bash tests/a11y/atspi-test.sh build

echo "== accessibility, what the Orca screen reader says about the ticks == (at $SECONDS s)"
bash tests/a11y/orca-check.sh build

echo "== sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) == (at $SECONDS s)"
cmake --preset sanitizer
cmake --build --preset sanitizer
ctest --preset sanitizer

echo "== fuzzing == (at $SECONDS s)"
bash scripts/fuzz.sh "${FUZZ_SECONDS:-30}"
echo "== all tests passed in $SECONDS s"
