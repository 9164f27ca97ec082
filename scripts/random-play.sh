#!/usr/bin/env bash
# The long random play: the RandomPlay property test with many more presses than the test
# command gives it.
#   scripts/random-play.sh [presses] [seed]     (defaults: 100000, a seed from the clock)
# The seed is printed; a failure prints it again with the command line that replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
presses=${1:-100000}
seed=${2:-random}
bash scripts/build.sh dev >/dev/null
TESSFIELD_RANDOM_PLAY_PRESSES=$presses TESSFIELD_RANDOM_PLAY_SEED=$seed \
    build/dev/tests/game/game_tests --gtest_filter='RandomPlay.*'
