# Sourced by the scripts that run the game on a virtual X server of their own.
#
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
    # The number comes once the server accepts clients; nothing comes if it fails.
    read -r -t 30 number <"$work/displayfd" || true
    rm -f "$work/displayfd"
    if [[ ! $number =~ ^[0-9]+$ ]]; then
        kill "$XVFB_PID" 2>/dev/null || true
        echo "Xvfb did not start:" >&2
        cat "$work/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=:$number
    xauth -q remove :0
    xauth -q add "$DISPLAY" . "$cookie"
}
