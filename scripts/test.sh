#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test; exits non-zero on any failure.
#   scripts/test.sh [preset]    dev (the default), or asan for the sanitizer run
# TESSFIELD_QUICK=1 leaves out the tests labelled slow (the .deb's own build); CI never does.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-dev}

# The real-X tests drive the program on a virtual X server, with and without a window
# manager around it (xvfb, xauth, xdotool, x11-utils, openbox; their probe talks Xlib:
# libx11-dev); the Wayland test runs it on Weston and presses its buttons through the
# accessibility bus (weston, qt6-wayland, dbus-daemon, at-spi2-core, python3-pyatspi); the
# screen-reader test runs a real AT-SPI client on a session bus of its own (dbus), and the
# keyboard test is written in the same Python (python3); the Orca test plays with the screen
# reader itself, speaking through speech-dispatcher and espeak-ng into a null output (orca,
# speech-dispatcher, espeak-ng, speech-dispatcher-espeak-ng); the desktop tests validate the
# desktop entry and metainfo (desktop-file-utils, appstream), check the installed files
# (file, man-db) and build and lint the .deb (dpkg-dev for dpkg-shlibdeps, lintian).
bash scripts/setup-deps.sh xvfb xauth xdotool x11-utils openbox libx11-dev weston qt6-wayland \
    dbus dbus-daemon at-spi2-core python3-pyatspi python3 orca speech-dispatcher espeak-ng \
    speech-dispatcher-espeak-ng desktop-file-utils appstream file \
    man-db dpkg-dev lintian
bash scripts/build.sh "$preset"
quick=()
if [[ ${TESSFIELD_QUICK:-0} == 1 ]]; then
    quick=(--label-exclude slow)
fi
ctest --preset "$preset" -j"$(nproc)" "${quick[@]}"
