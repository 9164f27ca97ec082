"""A whole game played by keys while Orca, the screen reader itself, listens: after every key,
the exact words Orca speaks, read from its debug log.

    orca_test.py PROGRAM OUTPUT_DIR        (inside tests/ui/session.sh --orca)

The board is 8 rows by 8 columns with 10 mines and the Game ID 11540, whose layout is written
out below, so every sentence expected is known before the game starts. What Orca says is
what a blind player hears; each step waits for its words, then for a moment of silence, and
fails on anything missing, extra or said twice. The whole transcript is written to
OUTPUT_DIR/transcript.txt.
"""

import os
import sys
import time

from orca_log import OrcaLog
from xsession import Game, fail

program, out = sys.argv[1:3]
log_path = os.environ["ORCA_LOG"]

# The board of 8 x 8, 10 mines, Game ID 11540, as "Test Code" shows it (M a mine, . no mine
# around, a digit the count); the sentences below are read off it.
#     M1...12M
#     111111M2
#     111M1111
#     M1222...
#     332M1...
#     MM2221..
#     2222M1..
#     ..1M21..

transcript = open(os.path.join(out, "transcript.txt"), "w")


def step(game, log, keys, expected, what, quiet=1.2, seconds=30.0):
    """Presses keys and checks that Orca then says exactly the expected sentences."""
    start = len(log.read())
    game.keys(*keys)
    deadline = time.monotonic() + seconds
    last_count, last_change = 0, time.monotonic()
    while True:
        heard = [text for _, text in log.read()[start:]]
        if len(heard) != last_count:
            last_count, last_change = len(heard), time.monotonic()
        settled = time.monotonic() - last_change > quiet
        if len(heard) >= len(expected) and settled:
            break
        if time.monotonic() > deadline:
            break
        time.sleep(0.05)
    transcript.write("%s: %s\n" % (what, " ".join(keys)))
    for text in heard:
        transcript.write("    %s\n" % text)
    transcript.flush()
    if heard != expected:
        fail("%s (%s): Orca said %r, expected %r" % (what, " ".join(keys), heard, expected))


def cell(row, column, state):
    return "row %d, column %d, %s." % (row, column, state)


def run():
    game = Game(program, out)
    log = OrcaLog(log_path)
    try:
        play(game, log)
    finally:
        game.end()
    print("Orca test passed: every step was heard as expected")


def play(game, log):
    # The window opens with the focus in "rows"; Orca says so once it has found it.
    deadline = time.monotonic() + 30
    while not any(text == "rows text." for _, text in log.read()):
        if time.monotonic() > deadline:
            fail("Orca never presented the window: %r" % [t for _, t in log.read()])
        time.sleep(0.1)
    # Then until it has presented the whole window: nothing new said for a moment.
    said, since = len(log.read()), time.monotonic()
    while time.monotonic() - since < 1.2:
        if len(log.read()) != said:
            said, since = len(log.read()), time.monotonic()
        time.sleep(0.05)

    # Setting up by typing, then Return in an entry: the focus ends on "Play Game" and the
    # new board is said in one sentence. Each entry is read with its whole value.
    # Tab selects an entry's whole value, which typing then replaces.
    step(game, log, ["Tab"], ["15", "selected", "columns text.", "15 selected."], "to columns")
    step(game, log, ["8"], ["Selection deleted."], "columns 8")
    step(game, log, ["shift+Tab"], ["10", "selected", "rows text.", "10 selected."], "to rows")
    step(game, log, ["8"], ["Selection deleted."], "rows 8")
    step(game, log, ["Tab"], ["8", "selected", "columns text.", "8 selected."], "to columns")
    step(game, log, ["Tab"], ["Text unselected.", "45", "selected", "mines text.", "45 selected."],
         "to mines")
    step(game, log, ["1"], ["Selection deleted."], "mines 1")
    step(game, log, ["0"], [], "mines 10")
    step(game, log, ["Tab"], ["11540", "selected", "Game ID text.", "11540 selected."],
         "to Game ID")
    step(game, log, ["Return"], ["Text unselected.", "Play Game push button.",
                                 "board of 8 rows by 8 columns, 10 mines."], "Return")

    # Moving speaks the one cell moved to, in every direction.
    step(game, log, ["shift+Tab"], ["board panel.", cell(1, 1, "covered")], "into the board")
    step(game, log, ["Right"], [cell(1, 2, "covered")], "right")
    step(game, log, ["Down"], [cell(2, 2, "covered")], "down")

    # A number, then a flood of the empty region on the right: 12 empty cells and the 10
    # numbers around them.
    step(game, log, ["space"], ["1."], "uncover a number")
    step(game, log, ["Down"], [cell(3, 2, "covered")], "down")
    step(game, log, ["Down"], [cell(4, 2, "covered")], "down")
    step(game, log, ["End"], [cell(4, 8, "covered")], "end of the row")
    step(game, log, ["space"], ["empty: 22 cells uncovered."], "flood")
    step(game, log, ["h"], ["row 4: covered 1 to 4, 2, empty 6 to 8."], "read the row")
    step(game, log, ["v"], ["column 8: covered 1 to 2, 1, empty 4 to 8."], "read the column")

    # Flag the mine above the 1 at (3, 7), take the flag off and put it back, then chord.
    step(game, log, ["Up"], [cell(3, 8, "1")], "up")
    step(game, log, ["Up"], [cell(2, 8, "covered")], "up")
    step(game, log, ["Left"], [cell(2, 7, "covered")], "left")
    step(game, log, ["f"], ["flagged."], "flag")
    step(game, log, ["f"], ["covered."], "unflag")
    step(game, log, ["f"], ["flagged."], "flag again")
    step(game, log, ["v"], ["column 7: covered 1, flagged 2, 1, empty 4 to 8."], "read the column")
    step(game, log, ["Down"], [cell(3, 7, "1")], "down")
    step(game, log, ["c"], ["2 cells uncovered."], "chord")
    step(game, log, ["c"], ["no change."], "chord again")
    # A cell read before the chord uncovered it is read as it is now.
    step(game, log, ["Right"], [cell(3, 8, "1")], "right")
    step(game, log, ["Up"], [cell(2, 8, "2")], "back to a cell the chord uncovered")

    # Stepping on a mine uncovers the whole board.
    for column, state in ((7, "flagged"), (6, "1"), (5, "covered"), (4, "covered")):
        step(game, log, ["Left"], [cell(2, column, state)], "left")
    step(game, log, ["Down"], [cell(3, 4, "covered")], "onto the mine")
    step(game, log, ["space"], ["mine: the whole board is uncovered."], "lose")
    step(game, log, ["h"], ["row 3: 1, 1, 1, mine 4, 1, 1, 1, 1."], "read the row after the loss")
    step(game, log, ["Up"], [cell(2, 4, "1")], "a cell uncovered by the loss")

    # A refused setup speaks the status line's message; the board stays.
    step(game, log, ["Tab"], ["Play Game push button."], "to Play Game")
    step(game, log, ["Tab"], ["8", "selected", "rows text.", "8 selected."], "to rows")
    step(game, log, ["0"], ["Selection deleted."], "rows 0")
    step(game, log, ["Return"], ["Play Game push button.",
                                 "rows must be a number from 1 to 32767."], "refused setup")

    # "Test Code" on the same entries, once rows is 8 again.
    step(game, log, ["Tab"], ["0", "selected", "rows text.", "0 selected."], "back to rows")
    step(game, log, ["8"], ["Selection deleted."], "rows 8 again")
    # Leaving an entry whose value Tab had selected says so.
    for name, value, left in (("columns", "8", []), ("mines", "10", ["Text unselected."]),
                              ("Game ID", "11540", ["Text unselected."])):
        step(game, log, ["Tab"], left + [value, "selected", name + " text.", value + " selected."],
             "to " + name)
    step(game, log, ["Tab"], ["Text unselected.", "Test Code push button."], "to Test Code")
    step(game, log, ["space"], ["Play Game push button.", "Test Code: board uncovered."],
         "Test Code")
    step(game, log, ["shift+Tab"], ["board panel.", cell(1, 1, "mine")], "the new board")

    # A board far wider than the window, without mines: a move to its far end reads the one
    # cell the window scrolled to, one press uncovers all 2400 cells in one sentence, and a
    # far cell read before that press is read as it is now.
    step(game, log, ["Tab"], ["Play Game push button."], "to Play Game")
    step(game, log, ["Tab"], ["8", "selected", "rows text.", "8 selected."], "to rows")
    step(game, log, ["Tab"], ["Text unselected.", "8", "selected", "columns text.",
                              "8 selected."], "to columns")
    step(game, log, ["3"], ["Selection deleted."], "columns 3")
    step(game, log, ["0"], [], "columns 30")
    step(game, log, ["0"], [], "columns 300")
    step(game, log, ["Tab"], ["10", "selected", "mines text.", "10 selected."], "to mines")
    step(game, log, ["0"], ["Selection deleted."], "mines 0")
    step(game, log, ["Return"], ["Play Game push button.",
                                 "board of 8 rows by 300 columns, 0 mines."], "a wide board")
    step(game, log, ["shift+Tab"], ["board panel.", cell(1, 1, "covered")], "into the board")
    step(game, log, ["End"], [cell(1, 300, "covered")], "to the far end")
    step(game, log, ["Down"], [cell(2, 300, "covered")], "down at the far end")
    step(game, log, ["Home"], [cell(2, 1, "covered")], "back to the first column")
    step(game, log, ["space"], ["empty: 2400 cells uncovered."], "uncover the whole board")
    step(game, log, ["End"], [cell(2, 300, "empty")], "the far end again")


run()
