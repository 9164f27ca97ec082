#!/usr/bin/env bash
# The window against what a desktop, a tool or a hostile user does to it, on a real X server:
#   window_x_test.sh PROGRAM X_PROBE OUTPUT_DIR [openbox]
# WINDOW_CASES=REGEX runs only the abuse cases whose names match (to measure one).
# With openbox: maximized by the window manager, the window stays maximized through a new
# board and returns to the board's size when restored, every time; it cannot be shrunk
# below what shows its controls. With or without it, a table of abuse (pastes into an
# entry, sizes and places forced on the window) must leave the window on the screen and the
# game playable.
# WINDOW_FIGURES=FILE also writes each case's memory and processor time to FILE, for the
# benchmark (bench/window_abuse.sh), which holds them to its budgets.
set -euo pipefail
program=$1
probe=$2
out=$3
wm=${4:-}
mkdir -p "$out"
# shellcheck source=scripts/session-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/session-lib.sh"
need Xvfb xauth xdotool xwininfo xprop
clip=
trap 'end_started; [[ -z $clip ]] || kill "$clip" 2>/dev/null || true' EXIT
start_xvfb "$out" 1280x1024x24
xvfb=$XVFB_PID
[[ -z $wm ]] || start_wm "$wm"
figures=${WINDOW_FIGURES:-}

ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; } # processor time, in 1/100 s
kb() { awk -v key="$1:" '$1 == key {print $2}' "/proc/$app/status"; }
# The program started as the case says, with the keyboard on its window.
start_case() { # [VAR=VALUE...] -- [OPTION...]
    start "$@"
    [[ -z $figures ]] || settle "$app"
    [[ -z $wm ]] || xdotool windowactivate --sync "$window" 2>/dev/null || true
}
# "Test Code" on the default entries shows the designed board uncovered: 45 mines.
playable() { # NAME
    local i
    for i in 1 2 3 4; do entry "$i" "$(cut -d' ' -f$i <<<'10 15 45 11540')"; done
    click 48 124
    shows_test_code() { board=$(cells "$1" 15 10) && [[ $(tr -cd M <<<"$board" | wc -c) -eq 45 ]]; }
    wait_until 30 shows_test_code "$1" || { echo "$board"; fail "$1: the game is not playable afterwards"; }
}

if [[ -n $wm ]]; then
    start_case --

    # Maximized or full screen, the window stays so through a new board (15 or 20 rows of
    # 15), whose top left cell is at its designed place; restored, it has the new board's
    # outer size, 6125 twips wide and 4445 or 5720 high.
    for row in "maximized MAXIMIZED_HORZ 15 408x296" "fullscreen FULLSCREEN 20 408x381"; do
        read -r state atom rows fitted <<<"$row"
        "$probe" state "$window" add "$state"
        wait_until 10 has_state "$atom" || fail "the window manager did not make the window $state"
        geometry; given="${WIDTH}x$HEIGHT"
        entry 1 "$rows"
        entry 3 0
        click 48 156
        at_place() { [[ $(cells "$state" 15 "$rows") =~ ^(C{15}$'\n'){$((rows - 1))}C{15}$ ]]; }
        wait_until 30 at_place || fail "the board is not at its place in the $state window"
        # The program has done all it does for a new board, and the window manager what the
        # program asked of it.
        settle "$app"
        wm_round_trip
        geometry
        has_state "$atom" || fail "a new board undid the $state state"
        [[ ${WIDTH}x$HEIGHT == "$given" ]] || fail "$state window resized by a board: ${WIDTH}x$HEIGHT, not $given"
        "$probe" state "$window" remove "$state"
        outer_is() { geometry; [[ $OUTER == "$1" ]]; }
        wait_until 10 outer_is "$fitted" || fail "restored from $state to $OUTER, not the board's $fitted"
        has_state "$atom" && fail "still $state after restoring"
        echo "$state: $given through a new board, restored to $OUTER"
    done

    # Restored after a board larger than the screen was set up while maximized, the window
    # fills the screen (1280 x 1024) every time, not the size it had before; openbox raced
    # the program for it, which lost 6 times in 14.
    entry 1 181
    entry 2 181
    for i in $(seq 12); do
        xdotool windowsize "$window" 500 400
        wm_round_trip
        "$probe" state "$window" add maximized
        wait_until 10 has_state MAXIMIZED_HORZ || fail "the window manager did not maximize the window"
        click 48 156
        settle "$app"
        wm_round_trip
        "$probe" state "$window" remove maximized
        wait_until 10 lacks_state MAXIMIZED_HORZ || fail "the window manager did not restore the window"
        settle "$app"
        wm_round_trip
        wait_until 5 outer_is 1280x1024 || fail "restoring $i: $OUTER, not the board's 1280x1024"
    done
    echo "maximized, 181 x 181, restored: 1280x1024 12 times"
    stop
fi

# The size hints carry the floor, one whole cell beside the scroll bar (120 + 17 + 14
# pixels) and the controls: a shrinking window manager stops at it, and without one the
# window does. A refusal's message, longer than the designed line, raises the floor to show
# it whole. The largest size keeps the whole window, frame included, on the screen.
least_height() { xprop -id "$window" WM_NORMAL_HINTS | sed -n 's/.*minimum size: [0-9]* by \([0-9]*\).*/\1/p'; }
resized_to() { # WIDTH HEIGHT: asks for that size and waits until it is dealt with
    xdotool windowsize "$window" "$1" "$2"
    [[ -z $wm ]] || wm_round_trip
    settle "$app"
    geometry
}
start_case --
hints=$(xprop -id "$window" WM_NORMAL_HINTS)
grep -q 'minimum size: 151 by 209' <<<"$hints" || { echo "$hints"; fail "no minimum size in WM_NORMAL_HINTS"; }
resized_to 40 40
(( WIDTH >= 151 && HEIGHT >= 209 )) || fail "shrunk below the minimum: ${WIDTH}x$HEIGHT"
entry 1 x
click 48 156
raised() { (( $(least_height) > 209 )); }
wait_until 10 raised || fail "the minimum height stays $(least_height) with a refusal's message"
resized_to 40 40
(( HEIGHT >= $(least_height) )) || fail "shrunk to ${WIDTH}x$HEIGHT, cutting the message that needs $(least_height)"
echo "least size with a refusal's message: ${WIDTH}x$HEIGHT"
resized_to 3000 3000
(( X - left >= 0 && Y - top >= 0 && X + WIDTH + right <= 1280 && Y + HEIGHT + bottom <= 1024 )) ||
    fail "asked for 3000x3000, the frame spans $((X - left)),$((Y - top)) to $((X + WIDTH + right)),$((Y + HEIGHT + bottom))"
echo "largest size: client ${WIDTH}x$HEIGHT at $X,$Y, outer $OUTER"
stop

# A click on a cell gives the board the keyboard, so mouse and keys mix: a right click flags
# a cell and frames it as the current one (lower case), then Right and F flag its neighbour.
first_row_is() { row=$(cells mixed 15 10 | head -1) && [[ $row == "$1"* ]]; } # PREFIX
start_case --
click 48 156
wait_until 30 first_row_is C || fail "mouse and keys: no board, the first row is $row"
click 128 16 3
wait_until 30 first_row_is f || fail "mouse and keys: a right click left the first row $row, not f..."
xdotool key Right f
wait_until 30 first_row_is Ff || fail "mouse and keys: Right and F left the first row $row, not Ff..."
echo "mouse and keys: a click gave the board the keyboard"
stop

# The abuse table. Each case starts the program (with VAR=VALUE and OPTIONs up to "--"),
# does one thing to it and checks that the window is then on the screen and, where its scale
# leaves room for the board, the game is playable.
#   name            start                                          action
cases=(
    "paste-1MB-x8    --                                             paste 1000000 8"
    "paste-10MB      --                                             paste 10000000 1"
    "resize-32767    --                                             size 32767 32767"
    "geometry-32767  -qwindowgeometry 32767x32767+0+0 --            none"
    "geometry-off    -qwindowgeometry 99999x99999+99999+99999 --    none"
    "scale-16        QT_SCALE_FACTOR=16 --                          none"
    "scale-0.001     QT_SCALE_FACTOR=0.001 --                       none"
)
# With WINDOW_FIGURES set, a case's figures are taken once the program has come to rest:
# how far the resident memory grew at its peak and at the end, the processor time the case
# took (a case that only starts the program counts its whole start), and the processor time
# of two seconds of idling after it, with whatever the entry holds and the focus in it.
#   NAME KEPT_MB PEAK_MB BUSY_MS IDLE_MS
measure() { # NAME RSS0 CPU0
    settle "$app"
    local grown=$((($(kb VmHWM) - $2) / 1024)) kept=$((($(kb VmRSS) - $2) / 1024))
    local used=$(($(ticks) - $3)) idle0
    idle0=$(ticks)
    sleep 2 # the span measured
    echo "$1 $kept $grown $((used * 10)) $((($(ticks) - idle0) * 10))" | tee -a "$figures"
}
for row in "${cases[@]}"; do
    read -r name rest <<<"$row"
    [[ $name =~ ${WINDOW_CASES:-.} ]] || continue
    options=${rest%%--*}
    read -r action a1 a2 <<<"${rest#*--}"
    vars=() args=()
    for word in $options; do
        if [[ $word == *=* ]]; then vars+=("$word"); else args+=("$word"); fi
    done
    start_case "${vars[@]}" -- "${args[@]}"
    if [[ -n $figures ]]; then
        rss0=$(kb VmRSS) cpu0=$(ticks)
        [[ $action != none ]] || cpu0=0
    fi
    case $action in
    paste)
        head -c "$a1" /dev/zero | tr '\0' 7 >"$out/paste.txt"
        "$probe" clip "$out/paste.txt" >"$out/clip.out" &
        clip=$!
        wait_until 30 grep -q serving "$out/clip.out" || fail "$name: x_probe did not take the clipboard"
        click 72 89 # the Game ID entry
        for _ in $(seq "$a2"); do
            xdotool key ctrl+a ctrl+v
            [[ -z $figures ]] || settle "$app"
        done
        ;;
    size)
        xdotool windowsize "$window" "$a1" "$a2"
        [[ -z $wm ]] || wm_round_trip
        ;;
    esac
    [[ -z $figures ]] || measure "$name" "$rss0" "$cpu0"
    # A scale factor rounds the screen's size to its own pixels.
    slack=1
    [[ $name != scale-16 ]] || slack=16
    fits() { geometry; ((WIDTH < 1280 + slack && HEIGHT < 1024 + slack)); }
    shows() { geometry; ((X < 1280 && Y < 1024 && X + WIDTH > 0 && Y + HEIGHT > 0)); }
    wait_until 30 fits || fail "$name: the window is ${WIDTH}x$HEIGHT, larger than the screen"
    wait_until 30 shows || fail "$name: the window is off the screen"
    echo "$name: client ${WIDTH}x$HEIGHT at $X,$Y"
    [[ $name == scale-16 ]] || playable "$name"
    [[ -z $clip ]] || { kill "$clip"; wait "$clip" 2>/dev/null || true; clip=; }
    stop
done
# The X server going away under the program ends it with status 1, as Qt ends it; under the
# sanitizers nothing of the libraries it leaves behind counts as a leak (LeakSanitizer
# reports it, but Qt's exit status stands).
if [[ -z $wm ]]; then
    start_case --
    kill "$xvfb"
    wait "$xvfb" 2>/dev/null || true
    xvfb=
    status=0
    wait "$app" || status=$?
    app=
    if [[ $status -ne 1 ]] || grep -q 'SUMMARY: .*Sanitizer' "$out/program.log"; then
        cat "$out/program.log"
        fail "the program ended with status $status, or a sanitizer's report, when the X server went"
    fi
fi
echo "window test passed${wm:+ under $wm}; screenshots in $out"
