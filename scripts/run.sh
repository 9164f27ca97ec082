#!/usr/bin/env bash
# Sets up what is missing, builds, and starts the game. On a machine with no display it
# starts the game on a virtual X server instead, presses "Play Game" and "Test Code", and
# prints where the screenshots of both are (scripts/demo.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]]; then
    echo "no display here (DISPLAY and WAYLAND_DISPLAY are not set): showing the game on a virtual one"
    exec bash scripts/demo.sh
fi
# Only the program: the tests are built by the test command.
bash scripts/build.sh dev tessfield
exec build/dev/src/tessfield "$@"
