"""Whole games played by keys while Orca, the screen reader itself, listens: after every key,
the exact words Orca speaks, read from its debug log.

    orca_test.py PROGRAM OUTPUT_DIR        (inside tests/ui/session.sh --orca)

The first board is 8 rows by 8 columns with 10 mines and the Game ID 11540, whose layout is
written out below, so every sentence expected is known before the game starts; then the
largest boards, 181 x 181 and 1 x 32767, without mines. What Orca says is what a blind player
hears. Each step waits until Orca has said as many sentences as expected and, by its log, has
handled every event it was sent, then fails on anything missing, extra or said twice; nothing
waits for a fixed time, so a loaded machine only makes the test slower. Entering a board must
cost Orca what it costs on the smallest: its own time to present the board, from its log, is
held to ENTRY_BOUND seconds, and the time from the key to its first word is written to the
transcript. The whole transcript is written to OUTPUT_DIR/transcript.txt.
"""

import os
import re
import sys
import time

from orca_log import OrcaLog, seconds_since
from xsession import Game, fail

program, out = sys.argv[1:3]
log_path = os.environ["ORCA_LOG"]
# Orca's own time to present the board as the focus enters it: 0.002-0.11 s here at loads
# up to 24, on every board, since it asks the board for its one child; 56 s on 181 x 181 at
# that load when it asked every cell (33 s at load 3-5). The wall clock from key to word is
# no bound at that load: it came 0.2-10.5 s after the key, on 8 x 8 as on 181 x 181, all of
# it Orca and xdotool waiting for the processor.
ENTRY_BOUND = 1.0
# How long a step may wait for Orca before it fails: at load 24 on two cores Orca took
# seconds per event, and a setup sends it some thirty.
PATIENCE = 600.0

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


def listen(log, keys, what, expected_count):
    start = len(log.read())
    sent = time.time()
    game.keys(*keys)
    heard = log.wait(start, expected_count, PATIENCE)
    if heard is None:
        heard = log.read()[start:]
    transcript.write("%s: %s\n" % (what, " ".join(keys)))
    for _, text in heard:
        transcript.write("    %s\n" % text)
    transcript.flush()
    return sent, heard


def step(log, keys, expected, what):
    """Presses keys and checks that Orca then says exactly the expected sentences."""
    _, heard = listen(log, keys, what, len(expected))
    said = [text for _, text in heard]
    if said != expected:
        fail("%s (%s): Orca said %r, expected %r" % (what, " ".join(keys), said, expected))


def enter(log, first_cell, what):
    """Shift+Tab from "Play Game" into the board: the board and its first cell, at the cost of
    one cell."""
    expected = ["board panel.", first_cell]
    presented = len(log.board_times)
    sent, heard = listen(log, ["shift+Tab"], what, len(expected))
    said = [text for _, text in heard]
    if said != expected:
        fail("%s (shift+Tab): Orca said %r, expected %r" % (what, said, expected))
    costs = log.board_times[presented:]
    transcript.write("    (first word %.2f s after the key; Orca presented the board in %s s)\n"
                     % (seconds_since(sent, heard[0][0]), ", ".join("%.3f" % c for c in costs)))
    if not costs or max(costs) > ENTRY_BOUND:
        fail("%s: Orca took %r s to present the board, over %.0f s"
             % (what, costs, ENTRY_BOUND))


def entry(name, value):
    return [name + " text.", value + " selected."]


def typed(log, text, what):
    """Types over an entry's selected value: the first key deletes the selection."""
    step(log, [text[0]], ["Selection deleted."], what)
    for character in text[1:]:
        step(log, [character], [], what)


def cell(state, row, column):
    return "%s, %d %d." % (state, row, column)


def run():
    global game
    log = OrcaLog(log_path)
    game = Game(program, out)
    try:
        start(log)
        small_board(log)
        largest_boards(log)
    finally:
        game.end()
    print("Orca test passed: every step was heard as expected")


def start(log):
    # The window opens with the focus in "rows", its value selected as Tab would leave it:
    # Orca says the window, then the entry once.
    opened = ["tessfield - qorv418 frame."] + entry("rows", "10")
    began = next((i for i, (_, text) in enumerate(log.read()) if text == "Screen reader on."), -1)
    heard = log.wait(began + 1, len(opened), PATIENCE)
    said = [text for _, text in (heard or log.read()[began + 1:])]
    transcript.write("start-up:\n" + "".join("    %s\n" % text for text in said))
    if said != opened:
        fail("start-up: Orca said %r, expected %r" % (said, opened))


def small_board(log):
    # Setting up by typing, then Return in an entry: the focus ends on "Play Game" and the
    # new board is said in one sentence. Tab selects an entry's whole value, which typing
    # then replaces; each entry is read once, with nothing about the one left.
    step(log, ["Tab"], entry("columns", "15"), "to columns")
    typed(log, "8", "columns 8")
    step(log, ["shift+Tab"], entry("rows", "10"), "to rows")
    typed(log, "8", "rows 8")
    step(log, ["Tab"], entry("columns", "8"), "to columns")
    step(log, ["Tab"], entry("mines", "45"), "to mines")
    typed(log, "10", "mines 10")
    step(log, ["Tab"], entry("Game ID", "11540"), "to Game ID")
    step(log, ["Return"], ["Play Game push button.", "board of 8 rows by 8 columns, 10 mines."],
         "Return")

    # Moving speaks the one cell moved to, its look first, in every direction; a move that
    # can go no further says so, once per key.
    enter(log, cell("covered", 1, 1), "into the board")
    step(log, ["Up"], ["edge."], "up on the top row")
    step(log, ["Up"], ["edge."], "up on the top row again")
    step(log, ["Left"], ["edge."], "left on the first column")
    step(log, ["Right"], [cell("covered", 1, 2)], "right")
    step(log, ["Down"], [cell("covered", 2, 2)], "down")

    # A number, then a flood of the empty region on the right: 12 empty cells and the 10
    # numbers around them.
    step(log, ["space"], ["1."], "uncover a number")
    step(log, ["Down"], [cell("covered", 3, 2)], "down")
    step(log, ["Down"], [cell("covered", 4, 2)], "down")
    step(log, ["End"], [cell("covered", 4, 8)], "end of the row")
    step(log, ["End"], ["edge."], "end of the row again")
    step(log, ["space"], ["empty: 22 cells uncovered."], "flood")
    step(log, ["h"], ["row 4: covered 1 to 4, 2 at 5, empty 6 to 8."], "read the row")
    step(log, ["v"], ["column 8: covered 1 to 2, 1 at 3, empty 4 to 8."], "read the column")

    # Flag the mine above the 1 at (3, 7), take the flag off and put it back, then chord.
    step(log, ["Up"], [cell("1", 3, 8)], "up")
    step(log, ["Up"], [cell("covered", 2, 8)], "up")
    step(log, ["Left"], [cell("covered", 2, 7)], "left")
    step(log, ["f"], ["flagged."], "flag")
    step(log, ["f"], ["covered."], "unflag")
    step(log, ["f"], ["flagged."], "flag again")
    step(log, ["v"], ["column 7: covered 1, flagged 2, 1 at 3, empty 4 to 8."], "read the column")
    step(log, ["Down"], [cell("1", 3, 7)], "down")
    step(log, ["c"], ["2 cells uncovered."], "chord")
    step(log, ["c"], ["no change."], "chord again")
    # A cell read before the chord uncovered it is read as it is now.
    step(log, ["Right"], [cell("1", 3, 8)], "right")
    step(log, ["Up"], [cell("2", 2, 8)], "back to a cell the chord uncovered")

    # Stepping on a mine uncovers the whole board.
    for column, state in ((7, "flagged"), (6, "1"), (5, "covered"), (4, "covered")):
        step(log, ["Left"], [cell(state, 2, column)], "left")
    step(log, ["Down"], [cell("covered", 3, 4)], "onto the mine")
    step(log, ["space"], ["mine: the whole board is uncovered."], "lose")
    step(log, ["h"], ["row 3: 1 at 1 to 3, mine 4, 1 at 5 to 8."], "read the row after the loss")
    step(log, ["Up"], [cell("1", 2, 4)], "a cell uncovered by the loss")

    # A refused setup speaks the status line's message; the board stays.
    step(log, ["Tab"], ["Play Game push button."], "to Play Game")
    step(log, ["Tab"], entry("rows", "8"), "to rows")
    typed(log, "0", "rows 0")
    step(log, ["Return"], ["Play Game push button.", "rows must be a number from 1 to 32767."],
         "refused setup")

    # "Test Code" on the same entries, once rows is 8 again.
    step(log, ["Tab"], entry("rows", "0"), "back to rows")
    typed(log, "8", "rows 8 again")
    for name, value in (("columns", "8"), ("mines", "10"), ("Game ID", "11540")):
        step(log, ["Tab"], entry(name, value), "to " + name)
    step(log, ["Tab"], ["Test Code push button."], "to Test Code")
    step(log, ["space"], ["Play Game push button.", "Test Code: board uncovered."], "Test Code")
    enter(log, cell("mine", 1, 1), "into the uncovered board")


def setup(log, rows, columns, old):
    """From the board to a new board of rows x columns without mines, by the keys."""
    step(log, ["Tab"], ["Play Game push button."], "to Play Game")
    step(log, ["Tab"], entry("rows", old[0]), "to rows")
    typed(log, rows, "rows " + rows)
    step(log, ["Tab"], entry("columns", old[1]), "to columns")
    typed(log, columns, "columns " + columns)
    step(log, ["Tab"], entry("mines", old[2]), "to mines")
    if old[2] != "0":
        typed(log, "0", "mines 0")
    plural = lambda count, word: "%s %s%s" % (count, word, "" if count == "1" else "s")
    step(log, ["Return"], ["Play Game push button.", "board of %s by %s, 0 mines."
                           % (plural(rows, "row"), plural(columns, "column"))],
         "a board of %s x %s" % (rows, columns))


def largest_boards(log):
    # The square board: a page is as many rows as the window shows, learnt from the first
    # Page Down and held to by the next ones.
    setup(log, "181", "181", ("8", "8", "10"))
    enter(log, cell("covered", 1, 1), "into 181 x 181")
    step(log, ["Right"], [cell("covered", 1, 2)], "right")
    step(log, ["Down"], [cell("covered", 2, 2)], "down")
    _, heard = listen(log, ["Page_Down"], "page down", 1)
    said = [text for _, text in heard]
    paged = re.fullmatch(r"covered, (\d+) 2\.", said[0]) if len(said) == 1 else None
    if paged is None or not 2 < int(paged.group(1)) < 181:
        fail("page down: Orca said %r, expected one cell of column 2 further down" % said)
    page = int(paged.group(1)) - 2
    step(log, ["Page_Down"], [cell("covered", min(2 + 2 * page, 181), 2)], "page down again")
    step(log, ["Page_Up"], [cell("covered", min(2 + 2 * page, 181) - page, 2)], "page up")
    step(log, ["ctrl+End"], [cell("covered", 181, 181)], "the last cell")
    step(log, ["Down"], ["edge."], "down on the last row")
    step(log, ["ctrl+End"], ["edge."], "the last cell again")
    step(log, ["space"], ["empty: 32761 cells uncovered."], "flood the whole board")
    step(log, ["ctrl+Home"], [cell("empty", 1, 1)], "the first cell")
    step(log, ["h"], ["row 1: empty 1 to 181."], "read the row")

    # The longest row: its far end, far beyond the window, and one page of one row.
    setup(log, "1", "32767", ("181", "181", "0"))
    enter(log, cell("covered", 1, 1), "into 1 x 32767")
    step(log, ["End"], [cell("covered", 1, 32767)], "the far end")
    step(log, ["Page_Down"], ["edge."], "page down on the only row")
    step(log, ["Left"], [cell("covered", 1, 32766)], "left")
    step(log, ["ctrl+End"], [cell("covered", 1, 32767)], "the last cell")
    step(log, ["ctrl+Home"], [cell("covered", 1, 1)], "the first cell")
    step(log, ["space"], ["empty: 32767 cells uncovered."], "flood the whole board")
    step(log, ["ctrl+End"], [cell("empty", 1, 32767)], "the far end again")
    step(log, ["v"], ["column 32767: empty 1."], "read the column")


run()
