#!/usr/bin/env bash
# Configures (once) and builds a preset incrementally: scripts/build.sh [preset [target...]].
# Builds the targets given, or else what the preset's build preset names (everything, but
# for the fuzz preset's fuzz targets).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-dev}
targets=("${@:2}")

# qt6-wayland: the platform plugin that a Wayland session starts the program with.
bash scripts/setup-deps.sh g++ cmake ninja-build pkg-config qt6-base-dev qt6-wayland libgl-dev \
    libgtest-dev fonts-dejavu-core
# The fuzz targets are built with clang++ and link libFuzzer (from libclang-rt).
if [[ $preset == fuzz ]]; then
    bash scripts/setup-deps.sh clang libclang-rt-14-dev
fi

if [[ ! -f build/$preset/build.ninja ]]; then
    cmake --preset "$preset" >/dev/null
fi
if [[ ${#targets[@]} -gt 0 ]]; then
    cmake --build --preset "$preset" -j"$(nproc)" --target "${targets[@]}"
else
    cmake --build --preset "$preset" -j"$(nproc)"
fi
