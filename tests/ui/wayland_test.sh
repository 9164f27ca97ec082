#!/usr/bin/env bash
# The program on a real Wayland compositor: Weston, headless backend, pixman renderer, in a
# private XDG_RUNTIME_DIR. It must start, stay up, say nothing on stderr, and show the
# designed title and its app_id; a setup must resize its window to the board, or to the
# floor under its height.
#   wayland_test.sh PROGRAM X_PROBE OUTPUT_DIR
#
# How it is observed: the title and app_id as Weston logs the client's requests (its "proto"
# log scope); the window's size on Weston's own screenshots (weston-screenshooter, which
# Weston allows with --debug), as what differs from a black desktop. Weston's headless
# backend has no input devices, so the entries are typed and the button pressed through the
# accessibility interface (AT-SPI on a private D-Bus session bus), as a screen reader would.
set -euo pipefail
program=$1
probe=$2
out=$3
rm -rf "$out"
mkdir -p "$out/shots"
out=$(cd "$out" && pwd)
python=/usr/bin/python3 # Debian's, which has pyatspi
# shellcheck source=scripts/session-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/session-lib.sh"
need weston weston-screenshooter dbus-daemon "$python"
trap end_started EXIT

export XDG_RUNTIME_DIR=$out/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
start_bus "$out"
start_a11y "$out"

cat >"$out/weston.ini" <<'EOF'
[shell]
background-color=0xff000000
panel-position=none
animation=none
close-animation=none
startup-animation=none
focus-animation=none
locking=false
EOF
socket=tessfield-wayland
weston --backend=headless-backend.so --use-pixman --width=1024 --height=768 --socket=$socket \
    --config="$out/weston.ini" --debug --log="$out/weston.log" --logger-scopes=log,proto \
    >/dev/null 2>&1 &
pids+=($!)
wait_until 30 test -S "$XDG_RUNTIME_DIR/$socket" || { cat "$out/weston.log"; fail "Weston did not start"; }
export WAYLAND_DISPLAY=$socket

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" -platform wayland >"$out/program.out" 2>"$out/program.err" &
app=$!

# The window as Weston shows it: "X Y WIDTH HEIGHT" of the latest screenshot.
shoot() { # NAME
    rm -f "$out/shots"/wayland-screenshot-*.png
    (cd "$out/shots" && weston-screenshooter >/dev/null 2>&1) || return 1
    mv "$out/shots"/wayland-screenshot-*.png "$out/$1.png"
    "$probe" -platform offscreen box "$out/$1.png"
}
# The window's box on the latest screenshot, NAME.png, as x y width height.
box_is() { # NAME CHECK
    local box
    box=$(shoot "$1" 2>/dev/null) || box=
    read -r x y width height <<<"${box:-0 0 0 0}"
    gone "$app" && { cat "$out/program.err"; fail "$1: the program ended"; }
    $2
}
# Polls the screenshots until the window has the size WIDTH x HEIGHT.
wait_for_size() { # NAME WIDTH HEIGHT
    sized() { [[ $width -eq $1 && $height -eq $2 ]]; }
    wait_until 30 box_is "$1" "sized $2 $3" || fail "$1: the window is ${width}x$height on screen, not $2x$3"
}

# At opening: the designed client area, 392 x 240, inside Qt's own frame and title bar.
shown() { [[ $width -gt 0 ]]; }
wait_until 30 box_is opening shown || true
(( width >= 392 && height > 240 )) || fail "no window on screen (${width}x$height)"
frame_width=$((width - 392)); frame_height=$((height - 240))
echo "opening: ${width}x$height on screen, frame and title bar ${frame_width}x$frame_height"
grep -q 'xdg_toplevel@[0-9]*\.set_title("tessfield - qorv418")' "$out/weston.log" || fail "no designed title"
grep -q 'xdg_toplevel@[0-9]*\.set_app_id("io.github.qorv418.Tessfield")' "$out/weston.log" ||
    fail "no app_id io.github.qorv418.Tessfield"

# setup ROWS COLUMNS: types the entries and presses "Play Game"; with no board, only asks
# the program for its window, which it answers once it has handled all it was asked before.
setup() {
    "$python" - "$@" <<'EOF'
import sys, time
import pyatspi

def find(node, role, name):
    if node.getRole() == role and node.name == name:
        return node
    for child in node:
        if child is not None and (hit := find(child, role, name)) is not None:
            return hit
    return None

for _ in range(100):
    app = next((a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "tessfield"), None)
    if app is not None and app.childCount > 0:
        break
    time.sleep(0.1)
else:
    sys.exit("tessfield is not on the accessibility bus")
if len(sys.argv) < 3:
    sys.exit(0)
for name, text in (("rows", sys.argv[1]), ("columns", sys.argv[2]), ("mines", "0")):
    find(app, pyatspi.ROLE_TEXT, name).queryEditableText().setTextContents(text)
find(app, pyatspi.ROLE_PUSH_BUTTON, "Play Game").queryAction().doAction(0)
EOF
}

# A 1 x 1 board asks for 2555 x 2875 twips outside; the client area's floor, 3135 twips
# (209 pixels), makes the window taller. A 15 x 15 board is taller than the floor and gets
# exactly its outer size, 6125 x 4445 twips.
setup 1 1
wait_for_size one-cell 170 $((209 + frame_height))
setup 15 15
wait_for_size fifteen-rows 408 296

# The largest board asks for more than the output. Weston keeps the window's corner where it
# put the opening window, so the window must stop short of the output's edges by that much.
# The screenshot ends at the output's edges, so a window that reaches them may go on beyond:
# it must end before them.
setup 181 181
grown() { ((width > 408)); }
wait_until 30 box_is largest grown || true
echo "181 x 181: ${width}x$height at $x,$y on the 1024x768 output"
(( width > 408 && height > 296 )) || fail "181 x 181: the window did not grow (${width}x$height)"
(( x > 0 && y > 0 && x + width < 1024 && y + height < 768 )) ||
    fail "181 x 181: the window (${width}x$height at $x,$y) runs off the 1024x768 output"

setup || fail "the program did not stay up"
gone "$app" && fail "the program did not stay up"
[[ ! -s $out/program.err ]] || { cat "$out/program.err"; fail "the program wrote on stderr"; }
echo "Wayland test passed; screenshots in $out"
