#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test; exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-dev}

# The real-X tests drive the program on a virtual X server, with and without a window
# manager around it.
bash scripts/setup-deps.sh xvfb xauth xdotool x11-utils openbox
bash scripts/build.sh "$preset"
ctest --preset "$preset" -j"$(nproc)"
