#!/usr/bin/env bash
# The README's run command on a machine with no display: the demo starts the game on Xvfb,
# presses both setup buttons and leaves a screenshot of the window after each.
#   demo_test.sh SOURCE_DIR PROGRAM X_PROBE OUTPUT_DIR
set -euo pipefail
source=$1
program=$2
probe=$3
out=$4
rm -rf "$out"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
status=0
log=$(bash "$source/scripts/demo.sh" --out "$out" --program "$program" --probe "$probe" 2>&1) || status=$?
echo "$log"
[[ $status -eq 0 ]] || { echo "FAIL: the demo exited with $status"; exit 1; }
for shot in play-game test-code; do
    grep -q "$out/$shot.png" <<<"$log" || { echo "FAIL: $shot.png is not named"; exit 1; }
    [[ -s $out/$shot.png ]] || { echo "FAIL: no $shot.png"; exit 1; }
    # The window only, fitted to the default board of 15 x 10 cells (408 x 211 at 96 dpi).
    kind=$(file -b "$out/$shot.png")
    [[ $kind == "PNG image data, 408 x 211,"* ]] || { echo "FAIL: $shot.png is $kind"; exit 1; }
done
echo "demo test passed"
