#!/usr/bin/env bash
# The game on a display of its own, for every script that drives it: the tests on X and on
# Wayland, tests/ui/session.sh (which runs the Python tests), the demo and the benchmarks.
# Sourced; run as a command it calls one of its functions, which is how the Python tests
# find the window (tests/ui/xsession.py):
#   bash scripts/session-lib.sh FUNCTION ARGUMENT...
#
# The caller sets `program` and `probe` (tests/ui/x_probe) and the folder `out` where the
# functions need them. Every helper process started here is in `pids`, and the program in
# `app`; end_started ends them by their PIDs, the latest first. Waits poll a condition with
# a deadline, so a busy machine only makes a script slower.
# shellcheck disable=SC2034 # the variables set here are the sourcing script's to read

program=${program:-} probe=${probe:-} out=${out:-}
TITLE='tessfield - qorv418'
# The default board at 96 dpi: 17-pixel cells from (120, 8) in the client area. SCALE
# multiplies every window coordinate (the program's QT_SCALE_FACTOR).
BOARD_LEFT=120 BOARD_TOP=8 CELL=17 SCALE=1
pids=()
app=
window=

fail() { echo "FAIL: $*"; exit 1; }

need() { # TOOL...
    local tool
    for tool; do
        command -v "$tool" >/dev/null || { echo "$tool is missing (the test command installs it)"; exit 1; }
    done
}

# wait_until SECONDS COMMAND...: runs COMMAND until it succeeds; status 1 if it never did.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

gone() { ! kill -0 "$1" 2>/dev/null; } # PID

end_started() {
    local i
    if [[ -n $app ]]; then kill "$app" 2>/dev/null || true; fi
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || continue
        # Orca can hang on its way out: five seconds, then it is killed outright.
        wait_until 5 gone "${pids[i]}" || kill -9 "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    wait 2>/dev/null || true
}

# start_xvfb WORKDIR [SCREEN]: starts Xvfb on a display that the server itself finds free
# (-displayfd), closed to other clients by a fresh cookie, and exports DISPLAY and
# XAUTHORITY; its pid is in XVFB_PID. -noreset: without it the server resets whenever its
# last client leaves, and a client that comes just then (the next xdotool call) is turned
# away.
start_xvfb() {
    local work=$1 screen=${2:-1280x1024x24}
    local cookie number=
    cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
    export XAUTHORITY=$work/Xauthority
    # The server takes every cookie in its file, whatever display the entry names; the
    # clients' entry for the display it picks is written once that is known.
    : >"$XAUTHORITY"
    xauth -q add :0 . "$cookie"
    rm -f "$work/displayfd"
    mkfifo "$work/displayfd"
    Xvfb -displayfd 3 -auth "$XAUTHORITY" -screen 0 "$screen" -nolisten tcp -noreset \
        3>"$work/displayfd" >"$work/xvfb.log" 2>&1 &
    XVFB_PID=$!
    pids+=("$XVFB_PID")
    # The number comes once the server accepts clients; nothing comes if it fails, and the
    # read ends as the server exits. A loaded machine has taken longer than 30 s to start
    # it, so the bound is only against a server that neither starts nor exits.
    read -r -t 600 number <"$work/displayfd" || true
    rm -f "$work/displayfd"
    if [[ ! $number =~ ^[0-9]+$ ]]; then
        echo "Xvfb did not start:" >&2
        cat "$work/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=:$number
    xauth -q remove :0
    xauth -q add "$DISPLAY" . "$cookie"
}

# start_wm WM: starts the window manager and returns once it frames a new window. Openbox
# announces itself (_NET_SUPPORTING_WM_CHECK) a moment before it manages new windows, and a
# window mapped in that moment is never shown: a throwaway window shows when it is ready,
# and one missed is replaced by another.
start_wm() {
    need "$1" xmessage
    "$1" >"$out/wm.log" 2>&1 &
    pids+=($!)
    local try shown=
    for try in $(seq 30); do
        xmessage -name "wm-probe-$try" -title "wm-probe-$try" ready >/dev/null 2>&1 &
        local probe_window=$!
        wait_until 2 framed_title "wm-probe-$try" && shown=1
        kill "$probe_window" 2>/dev/null || true
        wait "$probe_window" 2>/dev/null || true
        [[ -z $shown ]] || return 0
    done
    cat "$out/wm.log"
    fail "$1 never framed a window"
}
framed_title() { # TITLE: a window of that title has a frame
    local id
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1) && [[ -n $id ]] &&
        xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -q =
}

# start_bus WORKDIR: a private D-Bus session bus, exported as DBUS_SESSION_BUS_ADDRESS.
start_bus() {
    local work=$1
    rm -f "$work/bus-address"
    dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus-address" \
        >"$work/dbus.log" 2>&1 &
    pids+=($!)
    wait_until 30 test -s "$work/bus-address" ||
        { cat "$work/dbus.log"; fail "the session bus did not start"; }
    DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus-address")
    export DBUS_SESSION_BUS_ADDRESS
}

# start_a11y WORKDIR: on the session bus, the accessibility bus and its registry, as a
# desktop starts them; returns once the registry has its name. The launcher keeps its bus
# socket under XDG_RUNTIME_DIR, which the caller makes private.
start_a11y() {
    local work=$1 launcher=/usr/libexec/at-spi-bus-launcher registry=/usr/libexec/at-spi2-registryd
    need "$launcher" "$registry"
    # Ending the launcher ends the accessibility bus it runs.
    "$launcher" --launch-immediately --a11y=1 >"$work/launcher.log" 2>&1 &
    pids+=($!)
    wait_until 30 a11y_bus_known || { cat "$work/launcher.log"; fail "the accessibility bus did not start"; }
    # Started here rather than by the bus on demand, which would leave it to no one; the
    # program and the client come once it has its name.
    "$registry" >"$work/registry.log" 2>&1 &
    pids+=($!)
    wait_until 30 registry_named || { cat "$work/registry.log"; fail "the registry did not start"; }
}
a11y_bus_known() {
    A11Y_BUS=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress 2>/dev/null | tr -d ' ') && [[ -n $A11Y_BUS ]]
}
registry_named() {
    dbus-send --bus="$A11Y_BUS" --print-reply=literal --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.atspi.Registry 2>/dev/null | grep -q true
}

# start [ENV-ARGUMENT...] -- [OPTION...]: starts the program on the X server through env
# (VAR=VALUE or -u VAR) with the options, its output in $out/program.log, and waits for
# its window.
start() {
    local vars=()
    while [[ $1 != -- ]]; do vars+=("$1"); shift; done
    shift
    env -u QT_QPA_PLATFORM "${vars[@]}" "$program" -platform xcb "$@" >"$out/program.log" 2>&1 &
    app=$!
    find_window "$app"
}

# find_window PID: waits until the program PID shows its window, then sets `window`.
find_window() {
    window=
    wait_until 60 shows_window "$1" || fail "the window did not appear"
}
shows_window() {
    if gone "$1"; then
        [[ -z ${out:-} ]] || cat "$out/program.log"
        fail "the program ended at start"
    fi
    window=$(xdotool search --onlyvisible --name "^$TITLE\$" 2>/dev/null | head -1) && [[ -n $window ]]
}
print_window() { find_window "$1" && echo "$window"; } # PID

# stop: closes the window as a window manager closes it; the program must then end by
# itself with status 0 (under the sanitizers that exit is also where the leak check runs).
stop() {
    "$probe" close "$window"
    wait_until 30 gone "$app" || { cat "$out/program.log"; fail "the program did not end when its window was closed"; }
    local status=0
    wait "$app" || status=$?
    app=
    [[ $status -eq 0 ]] || { cat "$out/program.log"; fail "the program ended with status $status"; }
}

# geometry: the client area's X Y WIDTH HEIGHT and, when a window manager frames it (FRAMED
# set), the frame's left right top bottom (else 0), so that the outer size is OUTER_WIDTH x
# OUTER_HEIGHT, also written as OUTER. xwininfo, not xdotool: under a reparenting window
# manager xdotool's position is off by the frame.
geometry() {
    local info extents
    info=$(xwininfo -id "$window")
    X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    WIDTH=$(sed -n 's/^ *Width: *//p' <<<"$info")
    HEIGHT=$(sed -n 's/^ *Height: *//p' <<<"$info")
    left=0 right=0 top=0 bottom=0 FRAMED=
    extents=$(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
    if [[ -n $extents ]]; then
        IFS=, read -r left right top bottom <<<"$extents"
        FRAMED=1
    fi
    OUTER_WIDTH=$((WIDTH + left + right)) OUTER_HEIGHT=$((HEIGHT + top + bottom))
    OUTER=${OUTER_WIDTH}x$OUTER_HEIGHT
}
origin() { window=$1; geometry; echo "$X $Y"; } # WINDOW

click() { # X Y [BUTTON]: in window coordinates at 96 dpi
    geometry
    xdotool mousemove $((X + SCALE * $1)) $((Y + SCALE * $2)) click "${3:-1}"
}
entry() { # N TEXT: types TEXT over entry N (1 rows, 2 columns, 3 mines, 4 Game ID)
    click 72 $((17 + 24 * ($1 - 1)))
    xdotool key ctrl+a type "$2"
}
# cells NAME COLUMNS ROWS: the board on the screen, a letter per cell and a row per line
# (see x_probe), its screenshot saved as $out/NAME.png.
cells() {
    geometry
    "$probe" cells "$out/$1.png" $((X + SCALE * BOARD_LEFT)) $((Y + SCALE * BOARD_TOP)) \
        $((SCALE * CELL)) "$2" "$3"
}

# wm_round_trip: returns once the window manager has handled every request made before it,
# by asking it to keep the window above others and back, and seeing each answered.
wm_round_trip() {
    "$probe" state "$window" add above
    wait_until 30 has_state _NET_WM_STATE_ABOVE || fail "the window manager did not answer"
    "$probe" state "$window" remove above
    wait_until 30 lacks_state _NET_WM_STATE_ABOVE || fail "the window manager did not answer"
}
has_state() { xprop -id "$window" _NET_WM_STATE | grep -q "$1"; }
lacks_state() { ! has_state "$1"; }

# rests PID: waits until the process has slept for half a second without processor time;
# status 1 if it ends first, or is still busy after a minute.
rests() {
    local quiet=0 state before now=-1 deadline=$((SECONDS + 60))
    while ((SECONDS < deadline)) && ! gone "$1"; do
        before=$now
        # The fields after the name in parentheses: the state, then utime and stime 11 on.
        read -r state now < <(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | awk '{print $1, $12 + $13}') ||
            return 1
        if [[ $state == S && $now == "$before" ]]; then quiet=$((quiet + 1)); else quiet=0; fi
        ((quiet < 5)) || return 0
        sleep 0.1
    done
    return 1
}
settle() { rests "$1" || fail "the program never came to rest"; } # PID

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
    set -euo pipefail
    "$@"
fi
