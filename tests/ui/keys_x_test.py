"""One game on a real X server by the keyboard alone, checked on screenshots.

    keys_x_test.py PROGRAM X_PROBE OUTPUT_DIR        (inside tests/ui/session.sh)

Return in an entry starts a game; Tab reaches the board; the focus frame shows the current cell
(a lower-case letter from x_probe) and follows the arrows, Home/End and Page keys; Space uncovers
a region, F flags and unflags, C chords, Space on a mine loses; closing the window ends the
program with status 0.
"""

import glob
import os
import subprocess
import sys

from xsession import COLUMNS, ROWS, CELL, LEFT, TOP, Game, fail, wait_until

program, probe, out = sys.argv[1:4]
for old in glob.glob(os.path.join(out, "*.png")):
    os.remove(old)
game = Game(program, out)
shots = 0


def board():
    """The board as x_probe reads it: a string per row."""
    global shots
    shots += 1
    x, y = game.origin()
    lines = subprocess.run([probe, "cells", "%s/%02d.png" % (out, shots), str(x + LEFT),
                            str(y + TOP), str(CELL), str(COLUMNS), str(ROWS)],
                           capture_output=True, text=True, check=True).stdout.split()
    return lines if len(lines) == ROWS else None


def wait_board(check, what):
    seen = []

    def attempt():
        rows = board()
        seen[:] = rows or []
        return rows if rows and check(rows) else None

    try:
        return wait_until(attempt, what)
    except SystemExit:
        print("\n".join(seen))
        raise


def letters(rows):
    return "".join(rows)


def framed_at(rows):
    """(row, column) of the one framed cell, or None when none or several are framed."""
    framed = [(r, c) for r in range(ROWS) for c in range(COLUMNS) if rows[r][c].islower()]
    return framed[0] if len(framed) == 1 else None


def neighbours(r, c):
    return [(r + dr, c + dc) for dr in (-1, 0, 1) for dc in (-1, 0, 1)
            if (dr or dc) and 0 <= r + dr < ROWS and 0 <= c + dc < COLUMNS]


def at(rows, cell):
    return rows[cell[0]][cell[1]].upper()


# "Test Code" by the keyboard shows the layout that the game below is played on.
game.keys("Tab", "Tab", "Tab", "Tab", "space")
layout = wait_board(lambda b: letters(b).upper().count("M") == 45 and
                    letters(b).upper().count("R") == 105, "Test Code's board")
mines = {(r, c) for r in range(ROWS) for c in range(COLUMNS) if layout[r][c] == "M"}
count = {(r, c): sum(n in mines for n in neighbours(r, c)) for r in range(ROWS) for c in range(COLUMNS)}

# Return in an entry presses "Play Game"; the focus ends on that button, so no frame is drawn.
game.keys("Tab", "Return")
wait_board(lambda b: letters(b) == "C" * ROWS * COLUMNS, "Play Game's covered board, unframed")

# Tab from "Play Game" goes round the entries and "Test Code" to the board: (1, 1) is current.
game.keys(*["Tab"] * 6)
wait_board(lambda b: framed_at(b) == (0, 0), "the frame on (1, 1)")
current = (0, 0)


def press(keys, expected, what):
    global current
    game.keys(*keys)
    wait_board(lambda b: framed_at(b) == expected, what + ": frame on %s" % (expected,))
    current = expected


# No wrap at the edges; Home/End, Ctrl+Home/Ctrl+End and the page keys.
press(["Up", "Left"], (0, 0), "Up and Left at the corner")
press(["End"], (0, COLUMNS - 1), "End")
press(["Next"], (ROWS - 1, COLUMNS - 1), "Page Down")
press(["Right", "Down"], (ROWS - 1, COLUMNS - 1), "Right and Down at the far corner")
press(["Home"], (ROWS - 1, 0), "Home")
press(["Prior"], (0, 0), "Page Up")
press(["ctrl+End"], (ROWS - 1, COLUMNS - 1), "Ctrl+End")
press(["ctrl+Home"], (0, 0), "Ctrl+Home")


def go(target, what):
    r, c = current
    keys = (["Down"] * (target[0] - r) + ["Up"] * (r - target[0]) +
            ["Right"] * (target[1] - c) + ["Left"] * (c - target[1]))
    if keys:
        press(keys, target, what)


# Space on a cell with no mine around it uncovers its region.
zero = min((cell for cell in count if count[cell] == 0 and cell not in mines),
           key=lambda cell: abs(cell[0] - 4) + abs(cell[1] - 7))
go(zero, "to a cell with no mine around it")
game.keys("space")
opened = wait_board(lambda b: all(at(b, n) == "R" for n in neighbours(*zero) + [zero]),
                    "the region around %s" % (zero,))
if "M" in letters(opened).upper():
    fail("uncovering a region showed a mine")

# F flags a covered cell and F again takes the flag off.
covered = min((cell for cell in count if at(opened, cell) == "C"),
              key=lambda cell: abs(cell[0] - current[0]) + abs(cell[1] - current[1]))
go(covered, "to a covered cell")
game.keys("f")
wait_board(lambda b: b[covered[0]][covered[1]] == "f", "a flag on %s" % (covered,))
game.keys("f")
wait_board(lambda b: b[covered[0]][covered[1]] == "c", "the flag taken off %s" % (covered,))

# C chords an uncovered count once its mines are flagged: its covered safe neighbours open.
chord = next(cell for cell in sorted(count) if at(opened, cell) == "R" and count[cell] > 0 and
             any(at(opened, n) == "C" and n not in mines for n in neighbours(*cell)))
for mine in (n for n in neighbours(*chord) if n in mines):
    go(mine, "to a mine beside %s" % (chord,))
    game.keys("f")
    wait_board(lambda b: at(b, mine) == "F", "a flag on %s" % (mine,))
go(chord, "to the count %s" % (chord,))
game.keys("c")
wait_board(lambda b: all(at(b, n) == "R" for n in neighbours(*chord) if n not in mines),
           "the chord around %s" % (chord,))

# Space on an unflagged mine loses: the whole board is uncovered, the frame still on it.
board_now = board()
mine = next(cell for cell in sorted(mines) if at(board_now, cell) == "C")
go(mine, "to an unflagged mine")
game.keys("space")
wait_board(lambda b: letters(b).upper().count("M") == 45 and letters(b).upper().count("R") == 105
           and framed_at(b) == mine, "the whole board uncovered")

# Closed as a window manager closes it, the program ends by itself with status 0.
subprocess.run([probe, "close", game.window], check=True)
try:
    status = game.process.wait(20)
except subprocess.TimeoutExpired:
    fail("the program did not end when its window was closed")
finally:
    game.end()
if status != 0:
    print(open(out + "/program.log").read())
    fail("the program ended with status %d" % status)
print("keyboard play on real X passed; screenshots in " + out)
