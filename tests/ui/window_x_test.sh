#!/usr/bin/env bash
# The window against what a desktop, a tool or a hostile user does to it, on a real X server:
#   window_x_test.sh PROGRAM X_PROBE OUTPUT_DIR [openbox]
# WINDOW_CASES=REGEX runs only the abuse cases whose names match (to measure one).
# With openbox: maximized by the window manager, the window stays maximized through a new
# board and returns to the board's size when restored; it cannot be shrunk below what shows
# its controls. With or without it, a table of abuse (pastes into an entry, sizes and places
# forced on the window) must leave the memory and the processor time bounded, the window on
# the screen and the game playable.
set -euo pipefail
program=$1
probe=$2
out=$3
wm=${4:-}
mkdir -p "$out"
for tool in Xvfb xauth xdotool xwininfo xprop; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (the test command installs it)"; exit 1; }
done

app= xvfb= wm_pid= clip=
cleanup() {
    local pid
    for pid in $app $clip $wm_pid $xvfb; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
# shellcheck source=scripts/xvfb-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xvfb-lib.sh"
start_xvfb "$out" 1280x1024x24
xvfb=$XVFB_PID
if [[ -n $wm ]]; then
    "$wm" >"$out/wm.log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
    sleep 1 # openbox manages new windows a moment after it announces itself
fi

# "X Y WIDTH HEIGHT" of the client area, and the frame's extents when there is a frame.
geometry() {
    local info extents
    info=$(xwininfo -id "$window")
    X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    WIDTH=$(sed -n 's/^ *Width: *//p' <<<"$info")
    HEIGHT=$(sed -n 's/^ *Height: *//p' <<<"$info")
    left=0 right=0 top=0 bottom=0
    extents=$(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
    [[ -z $extents ]] || IFS=, read -r left right top bottom <<<"$extents"
    OUTER="$((WIDTH + left + right))x$((HEIGHT + top + bottom))"
}
ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; } # processor time, in 1/100 s
kb() { awk -v key="$1:" '$1 == key {print $2}' "/proc/$app/status"; }
# Waits until the program has used no processor time for half a second.
settle() {
    local before now=-1
    for _ in $(seq 120); do
        before=$now; now=$(ticks)
        [[ $now == "$before" ]] && return 0
        sleep 0.5
    done
    fail "the program never came to rest"
}
start() { # [VAR=VALUE...] -- [OPTION...]
    local vars=()
    while [[ $1 != -- ]]; do vars+=("$1"); shift; done
    shift
    env -u QT_QPA_PLATFORM "${vars[@]}" "$program" -platform xcb "$@" >"$out/program.log" 2>&1 &
    app=$!
    window=
    for _ in $(seq 600); do
        window=$(xdotool search --onlyvisible --name '^tessfield - qorv418$' 2>/dev/null | head -1 || true)
        [[ -n $window ]] && break
        kill -0 "$app" 2>/dev/null || { cat "$out/program.log"; fail "the program ended at start"; }
        sleep 0.1
    done
    [[ -n $window ]] || fail "the window did not appear"
    settle
    [[ -z $wm ]] || xdotool windowactivate --sync "$window" 2>/dev/null || true
}
stop() {
    "$probe" close "$window"
    local status=0
    wait "$app" || status=$?
    app=
    [[ $status -eq 0 ]] || { cat "$out/program.log"; fail "the program ended with status $status"; }
}
click() { geometry; xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }
entry() { # N TEXT: types TEXT over entry N (1 rows, 2 columns, 3 mines, 4 Game ID)
    click 72 $((17 + 24 * ($1 - 1)))
    xdotool key ctrl+a type "$2"
}
# The board of the entries on screen, a letter per cell (see x_probe).
cells() { geometry; "$probe" cells "$out/$1.png" $((X + 120)) $((Y + 8)) 17 "$2" "$3"; }
# "Test Code" on the default entries shows the designed board uncovered: 45 mines.
playable() { # NAME
    local board _
    for i in 1 2 3 4; do entry "$i" "$(cut -d' ' -f$i <<<'10 15 45 11540')"; done
    click 48 124
    for _ in $(seq 100); do
        board=$(cells "$1" 15 10)
        [[ $(tr -cd M <<<"$board" | wc -c) -eq 45 ]] && return 0
        sleep 0.1
    done
    echo "$board"
    fail "$1: the game is not playable afterwards"
}
has_state() { xprop -id "$window" _NET_WM_STATE | grep -q "$1"; }

if [[ -n $wm ]]; then
    start --

    # Maximized or full screen, the window stays so through a new board (15 or 20 rows of
    # 15), whose top left cell is at its designed place; restored, it has the new board's
    # outer size, 6125 twips wide and 4445 or 5720 high.
    for row in "maximized MAXIMIZED_HORZ 15 408x296" "fullscreen FULLSCREEN 20 408x381"; do
        read -r state atom rows fitted <<<"$row"
        "$probe" state "$window" add "$state"
        for _ in $(seq 50); do has_state "$atom" && break; sleep 0.1; done
        has_state "$atom" || fail "the window manager did not make the window $state"
        geometry; given="${WIDTH}x$HEIGHT"
        entry 1 "$rows"
        entry 3 0
        click 48 156
        sleep 1
        settle
        geometry
        has_state "$atom" || fail "a new board undid the $state state"
        [[ ${WIDTH}x$HEIGHT == "$given" ]] || fail "$state window resized by a board: ${WIDTH}x$HEIGHT, not $given"
        [[ $(cells "$state" 15 "$rows") =~ ^(C{15}$'\n'){$((rows - 1))}C{15}$ ]] ||
            fail "the board is not at its place in the $state window"
        "$probe" state "$window" remove "$state"
        for _ in $(seq 50); do geometry; [[ $OUTER == "$fitted" ]] && break; sleep 0.1; done
        [[ $OUTER == "$fitted" ]] || fail "restored from $state to $OUTER, not the board's $fitted"
        has_state "$atom" && fail "still $state after restoring"
        echo "$state: $given through a new board, restored to $OUTER"
    done
    stop
fi

start --
# The size hints carry the floor, one whole cell beside the scroll bar (120 + 17 + 14
# pixels) and the controls: a shrinking window manager stops at it.
hints=$(xprop -id "$window" WM_NORMAL_HINTS)
grep -q 'minimum size: 151 by 209' <<<"$hints" || { echo "$hints"; fail "no minimum size in WM_NORMAL_HINTS"; }
xdotool windowsize "$window" 40 40
sleep 1
geometry
(( WIDTH >= 151 && HEIGHT >= 209 )) || fail "shrunk below the minimum: ${WIDTH}x$HEIGHT"
# A refusal's message, longer than the designed line, raises the floor to show it whole.
entry 1 x
click 48 156
least=0
for _ in $(seq 50); do
    least=$(xprop -id "$window" WM_NORMAL_HINTS | sed -n 's/.*minimum size: [0-9]* by \([0-9]*\).*/\1/p')
    (( least > 209 )) && break
    sleep 0.1
done
(( least > 209 )) || fail "the minimum height stays $least with a refusal's message"
xdotool windowsize "$window" 40 40
sleep 1
geometry
(( HEIGHT >= least )) || fail "shrunk to ${WIDTH}x$HEIGHT, cutting the message that needs $least"
echo "least size with a refusal's message: ${WIDTH}x$HEIGHT"
# The largest size keeps the whole window, frame included, on the screen.
xdotool windowsize "$window" 3000 3000
sleep 1
settle
geometry
(( X - left >= 0 && Y - top >= 0 && X + WIDTH + right <= 1280 && Y + HEIGHT + bottom <= 1024 )) ||
    fail "asked for 3000x3000, the frame spans $((X - left)),$((Y - top)) to $((X + WIDTH + right)),$((Y + HEIGHT + bottom))"
echo "largest size: client ${WIDTH}x$HEIGHT at $X,$Y, outer $OUTER"
stop

# A click on a cell gives the board the keyboard, so mouse and keys mix: a right click flags
# a cell and frames it as the current one (lower case), then Right and F flag its neighbour.
first_row() { # PREFIX: waits until the board's first row starts so
    local row
    for _ in $(seq 100); do
        row=$(cells mixed 15 10 | head -1)
        [[ $row == "$1"* ]] && return 0
        sleep 0.1
    done
    fail "mouse and keys: the first row is $row, not $1..."
}
start --
click 48 156
first_row C
geometry
xdotool mousemove $((X + 128)) $((Y + 16)) click 3
first_row f
xdotool key Right f
first_row Ff
echo "mouse and keys: a click gave the board the keyboard"
stop

# The abuse table. Each case starts the program (with VAR=VALUE and OPTIONs up to "--"),
# does one thing to it and checks that the resident memory grew by at most MB megabytes
# at its peak and by a few (8) at the end, the processor time stayed within BUSY hundredths
# of a second, the window is on the screen
# and, where its scale leaves room for the board, the game is playable.
#   name            MB  busy     start                                          action
# Under the address sanitizer freed memory is held in quarantine and every step is slower:
# there only the window's size and place and the game afterwards are checked.
sanitized=
ldd "$program" | grep -q libasan && sanitized=1
cases=(
    "paste-1MB-x8    8   150      --                                             paste 1000000 8"
    "paste-10MB      64  150      --                                             paste 10000000 1"
    "resize-32767    64  300      --                                             size 32767 32767"
    "geometry-32767  64  300      -qwindowgeometry 32767x32767+0+0 --            none"
    "geometry-off    64  300      -qwindowgeometry 99999x99999+99999+99999 --    none"
    "scale-100       64  300      QT_SCALE_FACTOR=100 --                         none"
    "scale-0         64  300      QT_SCALE_FACTOR=0 --                           none"
)
for row in "${cases[@]}"; do
    read -r name mb busy rest <<<"$row"
    [[ $name =~ ${WINDOW_CASES:-.} ]] || continue
    options=${rest%%--*}
    read -r action a1 a2 <<<"${rest#*--}"
    vars=() args=()
    for word in $options; do
        if [[ $word == *=* ]]; then vars+=("$word"); else args+=("$word"); fi
    done
    start "${vars[@]}" -- "${args[@]}"
    # A case that only starts the program counts its whole start.
    rss0=$(kb VmRSS) cpu0=$(ticks)
    [[ $action != none ]] || cpu0=0
    case $action in
    paste)
        head -c "$a1" /dev/zero | tr '\0' 7 >"$out/paste.txt"
        "$probe" clip "$out/paste.txt" &
        clip=$!
        sleep 1
        click 72 89 # the Game ID entry
        for _ in $(seq "$a2"); do xdotool key ctrl+a ctrl+v; settle; done
        ;;
    size)
        xdotool windowsize "$window" "$a1" "$a2"
        sleep 1
        settle
        ;;
    esac
    grown=$(( ($(kb VmHWM) - rss0) / 1024 )) kept=$(( ($(kb VmRSS) - rss0) / 1024 ))
    used=$(( $(ticks) - cpu0 ))
    # Idle, with whatever the entry holds and the focus in it: no processor time to speak of.
    idle0=$(ticks); sleep 2; idle=$(( $(ticks) - idle0 ))
    geometry
    echo "$name: resident +$kept MB (peak +$grown MB), $((used * 10)) ms busy," \
        "$((idle * 10)) ms in 2 s idle; client ${WIDTH}x$HEIGHT at $X,$Y"
    if [[ -z $sanitized ]]; then
        (( grown <= mb && kept <= 8 )) || fail "$name: memory grew by $kept MB, at its peak $grown MB"
        (( used <= busy )) || fail "$name: busy for $((used * 10)) ms"
        (( idle <= 10 )) || fail "$name: $((idle * 10)) ms of processor time in 2 s of idling"
    fi
    # A scale factor rounds the screen's size to its own pixels.
    slack=1
    [[ $name != scale-100 ]] || slack=100
    (( WIDTH < 1280 + slack && HEIGHT < 1024 + slack )) || fail "$name: the window is ${WIDTH}x$HEIGHT, larger than the screen"
    (( X < 1280 && Y < 1024 && X + WIDTH > 0 && Y + HEIGHT > 0 )) || fail "$name: the window is off the screen"
    [[ $name == scale-100 ]] || playable "$name"
    [[ -z $clip ]] || { kill "$clip"; wait "$clip" 2>/dev/null || true; clip=; }
    stop
done
# The X server going away under the program ends it with status 1, as Qt ends it; under the
# sanitizers nothing of the libraries it leaves behind counts as a leak (LeakSanitizer
# reports it, but Qt's exit status stands).
if [[ -z $wm ]]; then
    start --
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
