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

for tool in Xvfb xauth xdotool xwininfo xprop; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (the test command installs it)"; exit 1; }
done

app=
xvfb=
cleanup() {
    [[ -n $app ]] && kill "$app" 2>/dev/null || true
    [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT
# A display of our own, so parallel runs do not meet.
# shellcheck source=scripts/xvfb-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xvfb-lib.sh"
start_xvfb "$out"
xvfb=$XVFB_PID
if [[ -n $wm ]]; then
    command -v "$wm" >/dev/null || { echo "$wm is missing (the test command installs it)"; exit 1; }
    "$wm" >"$out/wm.log" 2>&1 &
    for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
    # Openbox announces itself a moment before it manages new windows; a window mapped in
    # that moment is never shown.
    sleep 1
fi

# The platform and the display as the command line names them, with no DISPLAY to fall back on.
env -u DISPLAY -u QT_QPA_PLATFORM "$program" -platform xcb -display "$DISPLAY" >"$out/program.log" 2>&1 &
app=$!
window=
for _ in $(seq 600); do
    window=$(xdotool search --onlyvisible --name '^tessfield - qorv418$' 2>/dev/null | head -1 || true)
    [[ -n $window ]] && break
    sleep 0.1
done
[[ -n $window ]] || { echo "the window did not appear"; cat "$out/program.log"; xwininfo -root -tree | head -30; exit 1; }

# The client area's position and size; with a window manager, also its frame, so that the
# outer size is OUTER_WIDTH x OUTER_HEIGHT.
geometry() {
    # xwininfo, not xdotool: under a reparenting window manager xdotool's position is off
    # by the frame.
    local info
    info=$(xwininfo -id "$window")
    X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    WIDTH=$(sed -n 's/^ *Width: *//p' <<<"$info")
    HEIGHT=$(sed -n 's/^ *Height: *//p' <<<"$info")
    OUTER_WIDTH=$WIDTH; OUTER_HEIGHT=$HEIGHT
    if [[ -n $wm ]]; then
        local extents
        extents=$(xprop -id "$window" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ' ')
        [[ -n $extents ]] || { left=; return 0; }
        IFS=, read -r left right top bottom <<<"$extents"
        OUTER_WIDTH=$((WIDTH + left + right)); OUTER_HEIGHT=$((HEIGHT + top + bottom))
    fi
}
# A window manager places and frames the window after it is mapped: wait until it stays put.
last=
for _ in $(seq 100); do
    geometry
    now="$X,$Y,$OUTER_WIDTH,$OUTER_HEIGHT"
    if [[ $now == "$last" && ( -z $wm || -n ${left:-} ) ]]; then break; fi
    last=$now
    sleep 0.2
done
echo "window at $X,$Y size ${WIDTH}x$HEIGHT"
# 96 DPI: a twip is 1/15 pixel. The designed size is the client area's.
[[ $WIDTH -eq 392 && $HEIGHT -eq 240 ]] || { echo "designed client size is 392x240"; exit 1; }

click() { # x y button (in window coordinates)
    geometry
    xdotool mousemove $((X + $1)) $((Y + $2)) click "$3"
}
shape="15 10" # columns rows of the board that cells reads
# shellcheck disable=SC2086
cells() { "$probe" cells "$out/$1.png" $((X + 120)) $((Y + 8)) 17 $shape; }
count() { tr -cd "$1" <<<"$2" | wc -c; }
fail() { echo "FAIL: $*"; exit 1; }
# Polls the board until a check passes, so a busy machine only makes the test slower:
#   wait_for NAME CHECK -> leaves the last reading in $board
wait_for() {
    for _ in $(seq 300); do
        board=$(cells "$1")
        if $2; then return 0; fi
        sleep 0.1
    done
    echo "$board"
    fail "$1: gave up waiting"
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
for _ in $(seq 50); do
    geometry
    [[ $OUTER_WIDTH -eq 408 && $OUTER_HEIGHT -eq $want ]] && break
    sleep 0.1
done
[[ $OUTER_WIDTH -eq 408 && $OUTER_HEIGHT -eq $want ]] || fail "outer size not fitted to the board: ${OUTER_WIDTH}x$OUTER_HEIGHT, not 408x$want"

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
# The middle button on a covered cell does nothing: the flag and the board stay.
before=$board
click $((120 + 17 * column + 8)) $((8 + 17 * row + 8)) 2
sleep 0.5
board=$(cells middle-press)
[[ $board == "$before" ]] || fail "a middle press on a covered cell changed the board"

# Docks match the window to its launcher by the class in WM_CLASS.
desktop_file=$(dirname "${BASH_SOURCE[0]}")/../../data/io.github.qorv418.Tessfield.desktop
wm_class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
[[ $wm_class == "$(sed -n 's/^StartupWMClass=//p' "$desktop_file")" ]] ||
    fail "WM_CLASS class '$wm_class' is not the desktop entry's StartupWMClass"

# A 1 x 1 and a 1 x 200 board: the client area stays 209 pixels high, the status line
# (8,176 81x25) shows the window's grey inside it, and a click on "Play Game" (8,144 81x25)
# reaches the button: it covers again the cell just uncovered. A refusal then shows there.
entry() { # N TEXT: types TEXT over entry N (1 rows, 2 columns, 3 mines)
    click 72 $((17 + 24 * ($1 - 1))) 1
    xdotool key ctrl+a type "$2"
}
status_ink() { geometry; "$probe" ink "$out/status.png" $((X + 8)) $((Y + 176)) 81 25; }
shape="1 1"
for columns in 1 200; do
    entry 1 1; entry 2 "$columns"; entry 3 0
    click 48 156 1
    for _ in $(seq 50); do geometry; [[ $HEIGHT -eq 209 ]] && break; sleep 0.1; done
    [[ $HEIGHT -eq 209 ]] || fail "1 x $columns: client area ${WIDTH}x$HEIGHT, not 209 high"
    [[ $(status_ink) -eq 0 ]] || fail "1 x $columns: the status line is not inside the window"
    click 128 16 1
    uncovered() { [[ $board == R ]]; }
    wait_for "1x$columns-uncovered" uncovered
    click 48 156 1
    covered_again() { [[ $board == C ]]; }
    wait_for "1x$columns-play-again" covered_again
    entry 1 x
    click 48 156 1
    for _ in $(seq 50); do [[ $(status_ink) -gt 0 ]] && break; sleep 0.1; done
    [[ $(status_ink) -gt 0 ]] || fail "1 x $columns: a refusal shows nothing in the status line"
    echo "1 x $columns: client ${WIDTH}x$HEIGHT, outer ${OUTER_WIDTH}x$OUTER_HEIGHT"
done

# Closed as a window manager closes it, the program ends by itself with status 0; under the
# sanitizers that exit is also where the leak check runs and reports.
"$probe" close "$window"
for _ in $(seq 200); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then
    cat "$out/program.log"
    fail "the program did not end when its window was closed"
fi
status=0
wait "$app" || status=$?
app=
if [[ $status -ne 0 ]]; then
    cat "$out/program.log"
    fail "the program ended with status $status"
fi
echo "real X test passed; screenshots in $out"
