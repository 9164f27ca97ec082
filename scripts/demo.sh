#!/usr/bin/env bash
# Shows the game working on a machine with no display: starts it on a virtual X server
# (Xvfb), presses "Play Game" with the default entries and then "Test Code", saves a
# screenshot of the window after each and prints their paths.
#
#   scripts/demo.sh [--docs] [--out DIR] [--program PATH --probe PATH]
#
# --docs   runs the window at twice the size (QT_SCALE_FACTOR=2, as on a high-resolution
#          screen), also plays a few moves (uncovers empty regions, flags mines at their
#          edge) and saves that window as docs/screenshot.png, the picture at the top of
#          the README and in the AppStream metainfo.
# --out    where the screenshots go (default build/demo).
# --program, --probe   the tessfield and x_probe programs to use; by default the dev build
#          is brought up to date and its programs are used.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

docs=false
out=$root/build/demo
program=
probe=
while [[ $# -gt 0 ]]; do
    case $1 in
    --docs) docs=true ;;
    --out) out=$2; shift ;;
    --program) program=$2; shift ;;
    --probe) probe=$2; shift ;;
    *) echo "demo.sh: unknown argument $1" >&2; exit 2 ;;
    esac
    shift
done

bash scripts/setup-deps.sh xvfb xauth xdotool
if [[ -z $program || -z $probe ]]; then
    bash scripts/build.sh dev tessfield x_probe
    program=$root/build/dev/src/tessfield
    probe=$root/build/dev/tests/ui/x_probe
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)

work=$(mktemp -d)
if [[ -z ${XDG_RUNTIME_DIR:-} ]]; then
    # Qt wants a private runtime folder and says so on every start without one.
    export XDG_RUNTIME_DIR=$work/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
fi
app=
xvfb=
cleanup() {
    [[ -n $app ]] && kill "$app" 2>/dev/null || true
    [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=scripts/xvfb-lib.sh
source "$root/scripts/xvfb-lib.sh"
start_xvfb "$work"
xvfb=$XVFB_PID

# Window coordinates below are for 96 dpi and are multiplied by the scale.
scale=1
$docs && scale=2
echo "starting tessfield on the virtual display $DISPLAY"
QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale "$program" >"$work/program.log" 2>&1 &
app=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^tessfield - qorv418$' | head -1 || true)
[[ -n $window ]] || { echo "the window did not appear"; cat "$work/program.log"; exit 1; }

geometry() { eval "$(xdotool getwindowgeometry --shell "$window")"; }
click() { # x y button, in window coordinates
    geometry
    xdotool mousemove $((X + scale * $1)) $((Y + scale * $2)) click "$3"
}
# The default board, 15 columns by 10 rows of 17-pixel cells from (120, 8) at 96 dpi: one
# letter per cell, C covered, F flagged, R uncovered, M mine (see tests/ui/x_probe.cpp).
cells() {
    geometry
    "$probe" cells "$work/cells.png" $((X + scale * 120)) $((Y + scale * 8)) $((scale * 17)) 15 10 |
        tr -d '\n'
}
count() { tr -cd "$1" <<<"$2" | wc -c; }
# Waits until the board passes a check, then saves the window as a screenshot.
wait_for() { # CHECK
    for _ in $(seq 100); do
        board=$(cells)
        if $1; then return 0; fi
        sleep 0.1
    done
    echo "the board did not settle:"; fold -w 15 <<<"$board"; exit 1
}
shoot() { # FILE
    sleep 0.2
    geometry
    "$probe" grab "$1" "$X" "$Y" "$WIDTH" "$HEIGHT"
}

# The setup buttons, "Test Code" above "Play Game", at their designed places.
play_game() { click 48 156 1; }
test_code() { click 48 124 1; }

play_game
all_covered() { [[ $(count C "$board") -eq 150 ]]; }
wait_for all_covered
shoot "$out/play-game.png"

test_code
revealed() { [[ $(count M "$board") -eq 45 && $(count R "$board") -eq 105 ]]; }
wait_for revealed
shoot "$out/test-code.png"
layout=$board

if $docs; then
    # A game in progress on the same board: uncover empty regions until a good part of the
    # board is open, then flag the mines that border the open cells.
    at() { echo "${layout:$(($2 * 15 + $1)):1}"; }
    mine() { (( $1 >= 0 && $1 < 15 && $2 >= 0 && $2 < 10 )) && [[ $(at "$1" "$2") == M ]]; }
    empty() { # column row: no mine in the 3x3 block
        local dc dr
        for dc in -1 0 1; do for dr in -1 0 1; do
            mine $(($1 + dc)) $(($2 + dr)) && return 1
        done; done
        return 0
    }
    play_game
    wait_for all_covered
    for ((k = 0; k < 150; k++)); do
        column=$((k % 15)); row=$((k / 15))
        empty "$column" "$row" || continue
        board=$(cells)
        [[ ${board:$k:1} == C ]] || continue
        click $((120 + 17 * column + 8)) $((8 + 17 * row + 8)) 1
        opened() { [[ ${board:$k:1} == R ]]; }
        wait_for opened
        [[ $(count R "$board") -ge 40 ]] && break
    done
    flags=0
    for ((k = 0; k < 150 && flags < 8; k++)); do
        column=$((k % 15)); row=$((k / 15))
        [[ $(at "$column" "$row") == M ]] || continue
        borders=false
        for dc in -1 0 1; do for dr in -1 0 1; do
            c=$((column + dc)); r=$((row + dr))
            if (( c >= 0 && c < 15 && r >= 0 && r < 10 )) && [[ ${board:$((r * 15 + c)):1} == R ]]; then
                borders=true
            fi
        done; done
        $borders || continue
        click $((120 + 17 * column + 8)) $((8 + 17 * row + 8)) 3
        flagged() { [[ ${board:$k:1} == F ]]; }
        wait_for flagged
        flags=$((flags + 1))
    done
    mkdir -p docs
    shoot "$root/docs/screenshot.png"
    echo "docs/screenshot.png: a game in progress, $(count R "$board") cells uncovered, $flags flagged"
fi

echo "tessfield ran on a virtual display; screenshots of its window:"
echo "  after Play Game: $out/play-game.png"
echo "  after Test Code: $out/test-code.png"
$docs && echo "  game in progress: $root/docs/screenshot.png"
exit 0
