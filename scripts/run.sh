#!/usr/bin/env bash
# Sets up what is missing, builds, and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh dev
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]]; then
    echo "tessfield needs a graphical display: run this in a desktop session (DISPLAY or WAYLAND_DISPLAY is not set)" >&2
    exit 1
fi
exec build/dev/src/tessfield "$@"
