#!/usr/bin/env bash
# Runs a command in a desktop session of its own: a virtual X server and, with --a11y, the
# screen-reader stack a desktop starts (a private D-Bus session bus, the accessibility bus
# launcher and the registry) and, with --orca, the screen reader itself: speech-dispatcher with
# espeak-ng into libao's null output, and Orca writing what it speaks to WORK_DIR/orca.log
# (exported as ORCA_LOG). Everything it starts it ends by its PID when the command ends.
#   session.sh WORK_DIR [--a11y | --orca] -- COMMAND...
set -euo pipefail
mkdir -p "$1"
# Absolute: HOME is made from it, and programs refuse a relative home.
work=$(cd "$1" && pwd)
shift
a11y=
orca=
if [[ ${1:-} == --a11y ]]; then a11y=1; shift; fi
if [[ ${1:-} == --orca ]]; then a11y=1; orca=1; shift; fi
[[ ${1:-} == -- ]] && shift

tools=(Xvfb xauth xdotool xwininfo)
[[ -n $a11y ]] && tools+=(dbus-daemon /usr/libexec/at-spi-bus-launcher /usr/libexec/at-spi2-registryd)
[[ -n $orca ]] && tools+=(orca speech-dispatcher espeak-ng)
for tool in "${tools[@]}"; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (the test command installs it)"; exit 1; }
done

pids=()
cleanup() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || continue
        # Orca can hang on its way out; five seconds, then it is killed outright.
        for _ in $(seq 50); do kill -0 "${pids[i]}" 2>/dev/null || break; sleep 0.1; done
        kill -9 "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
}
trap cleanup EXIT

# shellcheck source=scripts/xvfb-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xvfb-lib.sh"
start_xvfb "$work"
pids+=("$XVFB_PID")

if [[ -n $a11y ]]; then
    # The launcher keeps its bus socket under the runtime directory: one of our own, so that
    # parallel runs and the desktop's own stack never meet.
    export XDG_RUNTIME_DIR=$work/runtime
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    rm -f "$work/bus-address"
    dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus-address" \
        >"$work/dbus.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [[ -s $work/bus-address ]] && break; sleep 0.1; done
    [[ -s $work/bus-address ]] || { echo "the session bus did not start"; cat "$work/dbus.log"; exit 1; }
    DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus-address")
    export DBUS_SESSION_BUS_ADDRESS
    # Ending the launcher ends the accessibility bus it runs.
    /usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 >"$work/launcher.log" 2>&1 &
    pids+=($!)
    a11y_bus=
    for _ in $(seq 100); do
        a11y_bus=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
            org.a11y.Bus.GetAddress 2>/dev/null | tr -d ' ') && [[ -n $a11y_bus ]] && break
        sleep 0.1
    done
    [[ -n $a11y_bus ]] || { echo "the accessibility bus did not start"; cat "$work/launcher.log"; exit 1; }
    # Started here rather than by the bus on demand, which would leave it to no one; the
    # program and the client come once it has its name.
    /usr/libexec/at-spi2-registryd >"$work/registry.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        dbus-send --bus="$a11y_bus" --print-reply=literal --dest=org.freedesktop.DBus / \
            org.freedesktop.DBus.NameHasOwner string:org.a11y.atspi.Registry 2>/dev/null |
            grep -q true && break
        sleep 0.1
    done
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
fi

if [[ -n $orca ]]; then
    # A home of its own: Orca's settings are its defaults, and libao plays into nothing.
    export HOME=$work/home
    rm -rf "$HOME"
    mkdir -p "$HOME" "$work/speechd/modules"
    echo "default_driver=null" >"$HOME/.libao"
    cat >"$work/speechd/speechd.conf" <<'CONF'
AudioOutputMethod "libao"
AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"
DefaultModule espeak-ng
DefaultLanguage "en"
CONF
    cp /etc/speech-dispatcher/modules/espeak-ng.conf "$work/speechd/modules/"
    rm -rf "$XDG_RUNTIME_DIR/speech-dispatcher" "$work/speechd/speech-dispatcher.log"
    # Started before Orca, at the socket under our runtime folder where Orca looks for it,
    # so that no server is spawned behind our back.
    speech-dispatcher --run-single --timeout 0 --config-dir "$work/speechd" \
        --log-dir "$work/speechd" >"$work/speechd.log" 2>&1 &
    pids+=($!)
    ready() { grep -q "waiting for clients" "$work/speechd/speech-dispatcher.log" 2>/dev/null; }
    for _ in $(seq 100); do ready && break; sleep 0.1; done
    ready || {
        echo "speech-dispatcher did not start"; cat "$work/speechd.log"; exit 1; }
    export ORCA_LOG=$work/orca.log
    rm -rf "$ORCA_LOG" "$work/orca-prefs"
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/orca_line_buffered.py" "$ORCA_LOG" \
        --user-prefs "$work/orca-prefs" >"$work/orca.out" 2>&1 &
    pids+=($!)
    # Orca is listening once it has said its first words.
    for _ in $(seq 300); do
        grep -q "SPEECH OUTPUT" "$ORCA_LOG" 2>/dev/null && break
        sleep 0.1
    done
    grep -q "SPEECH OUTPUT" "$ORCA_LOG" 2>/dev/null || {
        echo "Orca did not start"; tail -20 "$work/orca.out"; exit 1; }
fi

export QT_QPA_PLATFORM=xcb
status=0
"$@" || status=$?
exit "$status"
