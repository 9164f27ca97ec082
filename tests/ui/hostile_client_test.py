"""An AT-SPI client that sends the game absurd numbers (pyatspi, on a 181 x 181 board): every
call is answered, by nothing or by an invalid answer, the program lives on and the board is
as it was.

    hostile_client_test.py PROGRAM OUTPUT_DIR        (inside tests/ui/session.sh --a11y)

No call is timed: one that loops in proportion to the numbers sent (2^31 offsets of an entry)
does not answer within the generous timeout, and one that crashes ends the program.
"""

import os
import sys

import pyatspi

from xsession import TITLE, Game, fail, wait_until

program, out = sys.argv[1:3]
BIG = 2**31 - 1
SMALL = -2**31
# Long enough for any machine to answer what exists; far too short for 2^31 of anything.
pyatspi.setTimeout(60000, 60000)

game = Game(program, out)
app = wait_until(lambda: next((a for a in pyatspi.Registry.getDesktop(0)
                               if a is not None and a.name == "tessfield"), None),
                 "the program on the accessibility bus")
frame = wait_until(lambda: next((w for w in app if w.name == TITLE), None), "its window")


def descendants(root):
    for child in root:
        if child is not None:
            yield child
            yield from descendants(child)


found = list(descendants(frame))
entries = {a.name: a for a in found if a.getRole() == pyatspi.ROLE_TEXT}
play = next(a for a in found if a.name == "Play Game")
board = next(a for a in found if a.name == "board")
for name, text in (("rows", "181"), ("columns", "181"), ("mines", "0")):
    entries[name].queryEditableText().setTextContents(text)
play.queryAction().doAction(0)
wait_until(lambda: board.queryTable().nRows == 181, "the 181 x 181 board")

table = board.queryTable()
rows_text = entries["rows"].queryText()
calls = [
    ("a cell's extents past the last", lambda: table.getRowColumnExtentsAtIndex(181 * 181)),
    ("a cell's extents at -1", lambda: table.getRowColumnExtentsAtIndex(-1)),
    ("a cell's extents at 2^31-1", lambda: table.getRowColumnExtentsAtIndex(BIG)),
    ("a column's extent off the board", lambda: table.getColumnExtentAt(BIG, BIG)),
    ("a row's extent off the board", lambda: table.getRowExtentAt(-1, -1)),
    ("a cell's selection off the board", lambda: table.isSelected(-1, 5)),
    ("an index off the board", lambda: table.getIndexAt(BIG, 0)),
    ("the row of index 2^31-1", lambda: table.getRowAtIndex(BIG)),
    ("the description of row 2^31-1", lambda: table.getRowDescription(BIG)),
    ("the description of column 2^31-1", lambda: table.getColumnDescription(BIG)),
    ("the header of column -2^31", lambda: table.getColumnHeader(SMALL)),
    ("child 2^31-1", lambda: board.getChildAtIndex(BIG)),
    ("the cell at the far corner", lambda: board.queryComponent().getAccessibleAtPoint(SMALL, SMALL, 1)),
    ("an entry's extents from 0 to 2^31-1", lambda: rows_text.getRangeExtents(0, BIG, 0)),
    ("an entry's extents from 0 to 10^8", lambda: rows_text.getRangeExtents(0, 10**8, 1)),
    ("an entry's extents from -2^31", lambda: rows_text.getRangeExtents(SMALL, BIG, 0)),
    ("an entry's character 2^31-1", lambda: rows_text.getCharacterExtents(BIG, 0)),
    ("an entry's offset at the far corner", lambda: rows_text.getOffsetAtPoint(SMALL, SMALL, 1)),
    ("an entry's text from -2^31 to 2^31-1", lambda: rows_text.getText(SMALL, BIG)),
    ("an entry's selection from -2^31 to 2^31-1", lambda: rows_text.setSelection(0, SMALL, BIG)),
    ("an entry's selection added from -2^31", lambda: rows_text.addSelection(SMALL, BIG)),
]
answers = {}
for what, call in calls:
    try:
        answers[what] = call()
    except Exception as error:  # an error reply is an answer; a program that went is not
        answers[what] = error
    try:
        answering = table.nRows == 181
    except Exception:
        answering = False
    if not answering:
        fail("after %s the program no longer answers (status %s)" % (what, game.process.poll()))
    with open(os.path.join(out, "answers.log"), "a") as log:
        log.write("%s: %r\n" % (what, answers[what]))

for what in ("the description of row 2^31-1", "the description of column 2^31-1"):
    if answers[what] not in ("", None) and not isinstance(answers[what], Exception):
        fail("%s is %r, not nothing" % (what, answers[what]))
extents = answers["a cell's extents past the last"]
if not isinstance(extents, Exception) and extents[0] and extents[1] >= 0:
    fail("a cell past the last has extents %r" % (extents,))

# The game still answers, and the board and the entries are as they were.
if (table.nRows, table.nColumns) != (181, 181):
    fail("the board is now %d x %d" % (table.nRows, table.nColumns))
for (row, column) in ((0, 0), (90, 137), (180, 180)):
    name = table.getAccessibleAt(row, column).name
    if name != "covered, %d %d" % (row + 1, column + 1):
        fail("cell (%d, %d) is named %r" % (row + 1, column + 1, name))
if rows_text.getText(0, -1) != "181":
    fail("the rows entry holds %r" % rows_text.getText(0, -1))
corner = table.getAccessibleAt(180, 180)
corner.queryAction().doAction(1)  # flag
wait_until(lambda: table.getAccessibleAt(180, 180).name.startswith("flagged,"), "a flag after the calls")
log = open(os.path.join(out, "program.log")).read()
if "runtime error" in log or "Sanitizer" in log:
    fail("the sanitizers reported:\n" + log)
game.end()
print("hostile client test passed: %d calls answered" % len(calls))
