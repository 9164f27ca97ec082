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
shots=$root/build/demo
program=
probe=
while [[ $# -gt 0 ]]; do
    case $1 in
    --docs) docs=true ;;
    --out) shots=$2; shift ;;
    --program) program=$2; shift ;;
    --probe) probe=$2; shift ;;
    *) echo "demo.sh: unknown argument $1" >&2; exit 2 ;;
    esac
    shift
done

bash scripts/setup-deps.sh xvfb xauth xdotool x11-utils
if [[ -z $program || -z $probe ]]; then
    bash scripts/build.sh dev tessfield x_probe
    program=$root/build/dev/src/tessfield
    probe=$root/build/dev/tests/ui/x_probe
fi
mkdir -p "$shots"
shots=$(cd "$shots" && pwd)

work=$(mktemp -d)
if [[ -z ${XDG_RUNTIME_DIR:-} ]]; then
    # Qt wants a private runtime folder and says so on every start without one.
    export XDG_RUNTIME_DIR=$work/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
fi
# shellcheck source=scripts/session-lib.sh
source "$root/scripts/session-lib.sh"
trap 'end_started; rm -rf "$work"' EXIT
start_xvfb "$work"

# Window coordinates are for 96 dpi and are multiplied by the scale.
$docs && SCALE=2
echo "starting tessfield on the virtual display $DISPLAY"
out=$work # the program's output and the readings of the board
start QT_SCALE_FACTOR=$SCALE --

count() { tr -cd "$1" <<<"$2" | wc -c; }
# Waits until the default board, one letter per cell (C covered, F flagged, R uncovered,
# M mine: see tests/ui/x_probe.cpp), passes a check.
wait_for() { # CHECK
    board_is() { board=$(cells cells 15 10 | tr -d '\n') && $1; }
    wait_until 30 board_is "$1" || { echo "the board did not settle:"; fold -w 15 <<<"$board"; exit 1; }
}
# Saves the window as it shows the board just read.
shoot() { # FILE
    geometry
    "$probe" grab "$1" "$X" "$Y" "$WIDTH" "$HEIGHT"
}

# The setup buttons, "Test Code" above "Play Game", at their designed places.
play_game() { click 48 156 1; }
test_code() { click 48 124 1; }

play_game
all_covered() { [[ $(count C "$board") -eq 150 ]]; }
wait_for all_covered
shoot "$shots/play-game.png"

test_code
revealed() { [[ $(count M "$board") -eq 45 && $(count R "$board") -eq 105 ]]; }
wait_for revealed
shoot "$shots/test-code.png"
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
        board=$(cells cells 15 10 | tr -d '\n')
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
echo "  after Play Game: $shots/play-game.png"
echo "  after Test Code: $shots/test-code.png"
$docs && echo "  game in progress: $root/docs/screenshot.png"
exit 0
