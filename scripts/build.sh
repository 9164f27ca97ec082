#!/usr/bin/env bash
# Configures (once) and builds a preset incrementally: scripts/build.sh [preset].
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-dev}

bash scripts/setup-deps.sh g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev \
    libgtest-dev fonts-dejavu-core

if [[ ! -f build/$preset/build.ninja ]]; then
    cmake --preset "$preset" >/dev/null
fi
cmake --build "build/$preset" -- -j"$(nproc)"
