#!/usr/bin/env bash
# Peak resident memory of the real program holding a large board, on a running X server:
# starts it under GNU time, types the board into the entries with xdotool, presses "Test
# Code" (every cell uncovered, so every cell look is rendered), then "Play Game" where the
# window still shows it, and ends it. Prints one line per board:
#   peak BOARD MAX_RSS_KB WINDOW_WIDTHxHEIGHT
#   peak_memory.sh PROGRAM X_PROBE OUTPUT_DIR      (DISPLAY must name the X server)
set -euo pipefail
program=$1
probe=$2
out=$3
mkdir -p "$out"
# shellcheck source=scripts/session-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/session-lib.sh"

# The top left cell, C covered or else uncovered, shows which button was handled last; the
# program has then done its work once it rests.
corner_is() { [[ $(cells corner 1 1 2>/dev/null) =~ $1 ]]; }
child_of() { app=$(pgrep -P "$1" | head -1) && [[ -n $app ]]; } # PID: the program under GNU time
run() { # label rows columns mines
    local label=$1 rows=$2 columns=$3 mines=$4
    /usr/bin/time -f '%M' -o "$out/peak-$label.txt" "$program" >"$out/program-$label.log" 2>&1 &
    local timer=$!
    wait_until 30 child_of "$timer" || fail "the program did not start"
    find_window "$app"
    if [[ -n $rows ]]; then
        entry 1 "$rows"
        entry 2 "$columns"
        entry 3 "$mines"
        click 48 124 # Test Code
        wait_until 60 corner_is '^[RM]$' || fail "$label: Test Code did not show"
        settle "$app"
        click 48 156 # Play Game
        wait_until 60 corner_is '^C$' || fail "$label: Play Game did not show"
    fi
    settle "$app"
    # The window sized to the board shows that the entries were taken.
    geometry
    kill "$app"
    app=
    wait "$timer" || true
    echo "peak $label $(tail -1 "$out/peak-$label.txt") ${WIDTH}x$HEIGHT"
}

run idle "" "" ""
run 181x181 181 181 9828
run 1x32767 1 32767 9830
run 32767x1 32767 1 9830
