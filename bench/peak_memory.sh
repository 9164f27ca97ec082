#!/usr/bin/env bash
# Peak resident memory of the real program holding a large board, on a running X server:
# starts it under GNU time, types the board into the entries with xdotool, presses "Test
# Code" (every cell uncovered, so every cell look is rendered), then "Play Game" where the
# window still shows it, and ends it. Prints one line per board:
#   peak BOARD MAX_RSS_KB WINDOW_WIDTHxHEIGHT
#   peak_memory.sh PROGRAM OUTPUT_DIR      (DISPLAY must name the X server)
set -euo pipefail
program=$1
out=$2
mkdir -p "$out"

# Window coordinates of the controls at 96 DPI (a twip is 1/15 pixel).
entry_y=(17 41 65 89)
entry_x=72
test_code=(48 124)
play_game=(48 156)

run() { # label rows columns mines
    local label=$1 rows=$2 columns=$3 mines=$4
    /usr/bin/time -f '%M' -o "$out/peak-$label.txt" "$program" >"$out/program-$label.log" 2>&1 &
    local timer=$!
    local window
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^tessfield - qorv418$' | head -1 || true)
    [[ -n $window ]] || { echo "the window did not appear" >&2; kill "$timer"; return 1; }
    local X Y WIDTH HEIGHT SCREEN
    eval "$(xdotool getwindowgeometry --shell "$window")"
    local values=("$rows" "$columns" "$mines")
    if [[ -n $rows ]]; then
        for i in 0 1 2; do
            xdotool mousemove $((X + entry_x)) $((Y + entry_y[i])) click 1
            xdotool key --clearmodifiers ctrl+a
            xdotool type --delay 20 "${values[i]}"
        done
        xdotool mousemove $((X + test_code[0])) $((Y + test_code[1])) click 1
        sleep 2
        xdotool mousemove $((X + play_game[0])) $((Y + play_game[1])) click 1
        sleep 2
    else
        sleep 2
    fi
    local app
    app=$(pgrep -P "$timer" | head -1)
    # The window sized to the board shows that the entries were taken.
    eval "$(xdotool getwindowgeometry --shell "$window")"
    kill "$app"
    wait "$timer" || true
    echo "peak $label $(tail -1 "$out/peak-$label.txt") ${WIDTH}x$HEIGHT"
}

run idle "" "" ""
run 181x181 181 181 9828
run 1x32767 1 32767 9830
run 32767x1 32767 1 9830
