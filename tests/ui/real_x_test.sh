#!/usr/bin/env bash
# End to end on a real X server: start the program on Xvfb, press the setup buttons and
# cells with a real X client (xdotool), and check the cells on screenshots; then small boards,
# whose window must still hold "Play Game" and the status line.
#   real_x_test.sh PROGRAM X_PROBE OUTPUT_DIR [openbox]
# With "openbox" a window manager frames the window, and the board's outer size must then
# include the frame it draws.
set -euo pipefail
program=$1
probe=$2
out=$3
wm=${4:-}
mkdir -p "$out"

# shellcheck source=scripts/session-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/session-lib.sh"
need Xvfb xauth xdotool xwininfo xprop
trap end_started EXIT
# A display of our own, so parallel runs do not meet.
start_xvfb "$out"
[[ -z $wm ]] || start_wm "$wm"
# The platform and the display as the command line names them, with no DISPLAY to fall back on.
start -u DISPLAY -- -display "$DISPLAY"
# A window manager places and frames the window after it is mapped: wait until it stays put.
placed() {
    geometry
    local now="$X,$Y,$OUTER_WIDTH,$OUTER_HEIGHT" before=${last:-}
    last=$now
    [[ $now == "$before" && ( -z $wm || -n $FRAMED ) ]]
}
wait_until 20 placed || true
echo "window at $X,$Y size ${WIDTH}x$HEIGHT"
# 96 DPI: a twip is 1/15 pixel. The designed size is the client area's.
[[ $WIDTH -eq 392 && $HEIGHT -eq 240 ]] || { echo "designed client size is 392x240"; exit 1; }

shape="15 10" # columns rows of the board that cells reads
count() { tr -cd "$1" <<<"$2" | wc -c; }
# Polls the board until a check passes, so a busy machine only makes the test slower:
#   wait_for NAME CHECK -> leaves the last reading in $board
wait_for() {
    # shellcheck disable=SC2086
    # Upper case: a click gives the board the keyboard and frames the clicked cell (lower
    # case), and here only the cells' looks count.
    board_is() { board=$(cells "$1" $shape | tr a-z A-Z) && $2; }
    wait_until 30 board_is "$1" "$2" || { echo "$board"; fail "$1: gave up waiting"; }
}

# "Test Code": the whole default board uncovered, 45 mines on it.
click 48 124 1
revealed() { [[ $(count M "$board") -eq 45 && $(count R "$board") -eq 105 ]]; }
wait_for test-code revealed
test_view=$board
echo "$test_view"
# The board sets the outer size, frame and title bar included: 6125 x 3170 twips, unless the
# client area would then be less than 3135 twips (209 pixels) high.
want=$((209 + ${top:-0} + ${bottom:-0})); (( want < 211 )) && want=211
fitted() { geometry; [[ $OUTER_WIDTH -eq 408 && $OUTER_HEIGHT -eq $want ]]; }
wait_until 10 fitted || fail "outer size not fitted to the board: ${OUTER_WIDTH}x$OUTER_HEIGHT, not 408x$want"

# "Play Game": the same board, all covered.
click 48 156 1
all_covered() { [[ $(count C "$board") -eq 150 ]]; }
wait_for play-game all_covered

# A safe cell found on the test view, uncovered with the left button; a right press flags a
# covered cell and the middle button on a covered cell changes nothing.
safe=$(tr -d '\n' <<<"$test_view" | grep -bo R | head -1 | cut -d: -f1)
column=$((safe % 15)); row=$((safe / 15))
cell_is() { [[ $(tr -d '\n' <<<"$board" | cut -c$(($1 + 1))) == "$2" ]]; }
click $((120 + 17 * column + 8)) $((8 + 17 * row + 8)) 1
safe_uncovered() { cell_is "$safe" R; }
wait_for left-press safe_uncovered
echo "$board"
[[ $(count M "$board") -eq 0 ]] || fail "a mine was uncovered by a safe press"
covered=$(tr -d '\n' <<<"$board" | grep -bo C | head -1 | cut -d: -f1)
[[ -n $covered ]] || fail "no covered cell left to flag"
column=$((covered % 15)); row=$((covered / 15))
click $((120 + 17 * column + 8)) $((8 + 17 * row + 8)) 3
flagged() { cell_is "$covered" F; }
wait_for right-press flagged
# The middle button on a covered cell does nothing: the flag and the board stay. The program
# takes presses in order, so once a right press after it has flagged another cell, the
# middle press has been handled too: the board is then the one before with that flag added.
before=$(tr -d '\n' <<<"$board")
click $((120 + 17 * column + 8)) $((8 + 17 * row + 8)) 2
other=$(tr -d '\n' <<<"$board" | grep -bo C | head -1 | cut -d: -f1)
[[ -n $other ]] || fail "no other covered cell left to flag"
click $((120 + 17 * (other % 15) + 8)) $((8 + 17 * (other / 15) + 8)) 3
other_flagged() { cell_is "$other" F; }
wait_for middle-press other_flagged
[[ $(tr -d '\n' <<<"$board") == "${before:0:other}F${before:other+1}" ]] ||
    fail "a middle press on a covered cell changed the board"

# Docks match the window to its launcher by the class in WM_CLASS.
desktop_file=$(dirname "${BASH_SOURCE[0]}")/../../data/io.github.qorv418.Tessfield.desktop
wm_class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
[[ $wm_class == "$(sed -n 's/^StartupWMClass=//p' "$desktop_file")" ]] ||
    fail "WM_CLASS class '$wm_class' is not the desktop entry's StartupWMClass"

# A 1 x 1 and a 1 x 200 board: the client area stays 209 pixels high, the status line
# (8,176 81x25) shows the window's grey inside it, and a click on "Play Game" (8,144 81x25)
# reaches the button: it covers again the cell just uncovered. A refusal then shows there.
status_ink() { geometry; "$probe" ink "$out/status.png" $((X + 8)) $((Y + 176)) 81 25; }
floor_height() { geometry; [[ $HEIGHT -eq 209 ]]; }
refusal_shown() { [[ $(status_ink) -gt 0 ]]; }
status_clear() { [[ $(status_ink) -eq 0 ]]; }
shape="1 1"
for columns in 1 200; do
    entry 1 1; entry 2 "$columns"; entry 3 0
    click 48 156 1
    wait_until 10 floor_height || fail "1 x $columns: client area ${WIDTH}x$HEIGHT, not 209 high"
    # The refusal of the round before is cleared by the new board.
    wait_until 10 status_clear || fail "1 x $columns: the status line is not inside the window"
    click 128 16 1
    uncovered() { [[ $board == R ]]; }
    wait_for "1x$columns-uncovered" uncovered
    click 48 156 1
    covered_again() { [[ $board == C ]]; }
    wait_for "1x$columns-play-again" covered_again
    entry 1 x
    click 48 156 1
    wait_until 10 refusal_shown || fail "1 x $columns: a refusal shows nothing in the status line"
    echo "1 x $columns: client ${WIDTH}x$HEIGHT, outer ${OUTER_WIDTH}x$OUTER_HEIGHT"
done

# Closed as a window manager closes it, the program ends by itself with status 0.
stop
echo "real X test passed; screenshots in $out"
