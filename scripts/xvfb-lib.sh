# Sourced by the scripts that run the game on a virtual X server of their own.
#
# start_xvfb WORKDIR [SCREEN]: starts Xvfb on a free display, closed to other clients by a
# fresh cookie, and exports DISPLAY and XAUTHORITY; its pid is in XVFB_PID. A display that
# another run takes at the same moment is detected (our server exits) and the next one is
# tried. -noreset: without it the server resets whenever its last client leaves, and a
# client that comes just then (the next xdotool call) is turned away.

start_xvfb() {
    local work=$1 screen=${2:-1280x1024x24}
    local display=$(( 100 + $$ % 800 ))
    export XAUTHORITY=$work/Xauthority
    for _ in 1 2 3 4 5; do
        while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do
            display=$((display + 1))
        done
        export DISPLAY=:$display
        : >"$XAUTHORITY"
        xauth -q add "$DISPLAY" . "$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
        Xvfb "$DISPLAY" -auth "$XAUTHORITY" -screen 0 "$screen" -nolisten tcp -noreset \
            >"$work/xvfb.log" 2>&1 &
        XVFB_PID=$!
        for _ in $(seq 100); do
            kill -0 "$XVFB_PID" 2>/dev/null || break
            xdotool getmouselocation >/dev/null 2>&1 && return 0
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null || true
        display=$((display + 1))
    done
    echo "Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    return 1
}
