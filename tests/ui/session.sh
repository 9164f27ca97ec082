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

# shellcheck source=scripts/session-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/session-lib.sh"
out=$work
need Xvfb xauth xdotool xwininfo
[[ -z $a11y ]] || need dbus-daemon
[[ -z $orca ]] || need orca speech-dispatcher espeak-ng
trap end_started EXIT
start_xvfb "$work"

if [[ -n $a11y ]]; then
    # The launcher keeps its bus socket under the runtime directory: one of our own, so that
    # parallel runs and the desktop's own stack never meet.
    export XDG_RUNTIME_DIR=$work/runtime
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    start_bus "$work"
    start_a11y "$work"
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
