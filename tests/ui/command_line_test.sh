#!/usr/bin/env bash
# The command line as a user meets it: each row runs the program with no display in its
# environment but what the row adds, and checks the exit status and the first line printed.
#   command_line_test.sh PROGRAM VERSION OUTPUT_DIR
set -euo pipefail
program=$1
version=$2
out=$3
mkdir -p "$out"
# shellcheck source=scripts/session-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/session-lib.sh"
# Qt wants a private runtime folder and warns on stderr without one.
export XDG_RUNTIME_DIR=$out/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# An X display that no server answers, and a Wayland socket that does not exist.
x=149
while [[ -e /tmp/.X11-unix/X$x || -e /tmp/.X$x-lock ]]; do x=$((x + 1)); done
help="try 'tessfield --help'"
long=$(printf "%0120000d" 0 | tr 0 x)

# name | environment | arguments | status ("running": up and at rest after its start) | stream | first line
rows=(
    "help||--help|0|out|Usage: tessfield [OPTION]..."
    "short help||-h|0|out|Usage: tessfield [OPTION]..."
    "version||--version|0|out|tessfield $version"
    "help before a display||--help -display :$x|0|out|Usage: tessfield [OPTION]..."
    "unknown option||--frobnicate|2|err|tessfield: unknown option '--frobnicate'; $help"
    "unknown single-dash option|DISPLAY=:$x|-x|2|err|tessfield: unknown option '-x'; $help"
    "long unknown option||--$long|2|err|tessfield: unknown option '--${long:0:58}...'; $help"
    "stray argument||board.txt|2|err|tessfield: unexpected argument 'board.txt'; $help"
    "option without its value||-platform|2|err|tessfield: option '-platform' needs a value; $help"
    "no display|||1|err|tessfield needs a graphical display: run it in a desktop session (DISPLAY or WAYLAND_DISPLAY is not set)"
    "unreachable DISPLAY|DISPLAY=:$x||1|err|tessfield: cannot open the display (DISPLAY=:$x, WAYLAND_DISPLAY not set)"
    "unreachable -display||-display :$x|1|err|tessfield: cannot open the display (-display :$x, WAYLAND_DISPLAY not set)"
    "unreachable Wayland|WAYLAND_DISPLAY=tessfield-none||1|err|tessfield: cannot open the display (DISPLAY not set, WAYLAND_DISPLAY=tessfield-none)"
    "Wayland with no runtime folder|-u XDG_RUNTIME_DIR WAYLAND_DISPLAY=tessfield-none||1|err|tessfield: cannot open the display (DISPLAY not set, WAYLAND_DISPLAY=tessfield-none)"
    "unknown platform||--platform nowhere|1|err|tessfield: cannot start the Qt platform \"nowhere\" (DISPLAY not set, WAYLAND_DISPLAY not set)"
    "Qt options||-platform offscreen -style Fusion -qwindowgeometry +5+5|running|err|"
    "unreachable long DISPLAY|DISPLAY=:$long||1|err|tessfield: cannot open the display (DISPLAY=:${long:0:59}..., WAYLAND_DISPLAY not set)"
    "unreachable long -display||-display :$long|1|err|tessfield: cannot open the display (-display :${long:0:59}..., WAYLAND_DISPLAY not set)"
    "unknown long platform||-platform $long|1|err|tessfield: cannot start the Qt platform \"${long:0:60}...\" (DISPLAY not set, WAYLAND_DISPLAY not set)"
    "unknown long QT_QPA_PLATFORM|QT_QPA_PLATFORM=$long||1|err|tessfield: cannot start the Qt platform \"${long:0:60}...\" (DISPLAY not set, WAYLAND_DISPLAY not set)"
    "platform with no screen||-platform linuxfb:fb=/dev/tessfield-none|1|err|tessfield: cannot start the Qt platform \"linuxfb:fb=/dev/tessfield-none\" (DISPLAY not set, WAYLAND_DISPLAY not set)"
    "scale factor that is no scale|QT_SCALE_FACTOR=0|-platform offscreen|running|err|tessfield: ignoring QT_SCALE_FACTOR '0', which is not a scale from 0.5 to 16"
    "tiny scale factor|QT_SCALE_FACTOR=0.001|-platform offscreen|running|err|tessfield: ignoring QT_SCALE_FACTOR '0.001', which is not a scale from 0.5 to 16"
    "vanishing scale factor|QT_SCALE_FACTOR=1e-300|-platform offscreen|running|err|tessfield: ignoring QT_SCALE_FACTOR '1e-300', which is not a scale from 0.5 to 16"
    "huge scale factor|QT_SCALE_FACTOR=1e300|-platform offscreen|running|err|tessfield: ignoring QT_SCALE_FACTOR '1e300', which is not a scale from 0.5 to 16"
    "vanishing screen scale|QT_SCREEN_SCALE_FACTORS=1;1e-300|-platform offscreen|running|err|tessfield: ignoring QT_SCREEN_SCALE_FACTORS '1;1e-300', which is not a list of scales from 0.5 to 16"
    "font resolution of 1|QT_FONT_DPI=1|-platform offscreen|running|err|tessfield: ignoring QT_FONT_DPI '1', which is not a resolution from 48 to 1536 dots per inch"
    "scales at the ends of the range|QT_SCALE_FACTOR=0.5 QT_SCREEN_SCALE_FACTORS=screen=16 QT_FONT_DPI=1536|-platform offscreen|running|err|"
    "Qt options with two dashes||--platform offscreen --style Fusion|running|err|"
    "Qt's warnings at a start that succeeds|WAYLAND_DISPLAY=tessfield-none|-platform wayland;offscreen|running|err|Failed to create wl_display (No such file or directory)"
)

failed=0
for row in "${rows[@]}"; do
    IFS='|' read -r name environment arguments status stream first <<<"$row"
    # shellcheck disable=SC2086 # the fields are lists of words
    set -- env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM $environment "$program" $arguments
    if [[ $status == running ]]; then
        "$@" >"$out/out" 2>"$out/err" </dev/null &
        pid=$!
        # At rest, it waits in its event loop: the start is over.
        got=ended
        rests "$pid" && got=running
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    else
        got=0
        "$@" >"$out/out" 2>"$out/err" </dev/null || got=$?
    fi
    line=$(head -1 "$out/$stream")
    lines=$(wc -l <"$out/err")
    # A refusal or failure says what went wrong in exactly one line, and nothing else.
    case $status in
    0) want_lines=0 ;;
    running) want_lines=any; [[ -z $first ]] && want_lines=0 ;;
    *) want_lines=1 ;;
    esac
    if [[ $got == "$status" && $line == "$first" && ( $want_lines == any || $lines -eq $want_lines ) ]]; then
        echo "ok: $name"
    else
        echo "FAIL: $name: status $got (want $status), $stream first line '$line' (want '$first'), $lines lines on stderr:"
        cat "$out/err"
        failed=1
    fi
done
exit "$failed"
