"""A plain AT-SPI client's view of one session (pyatspi): it presses "Play Game" by its action
and plays by the cells' actions, which Orca 43 has no command for; what Orca itself hears of
the keys is tests/ui/orca_test.py's.

    screen_reader_test.py PROGRAM OUTPUT_DIR        (inside tests/ui/session.sh --a11y)

The client runs in the event loop as a screen reader does, so libatspi keeps the names it has
read: after every action, what the client believes must be what the cells now say, which holds
only if the program told it which cells changed or, after many changes, to look again.
"""

import sys
import time

import pyatspi
from gi.repository import GLib

from xsession import TITLE, Game

program, out = sys.argv[1:3]


class Failure(Exception):
    pass


class Wait:
    def __init__(self, check, what, seconds=20.0):
        self.check, self.what, self.deadline = check, what, time.monotonic() + seconds


events = []  # (time, type, source) of everything the client is told
cells = {}   # (row, column) -> the client's object for the cell, names cached by libatspi
table = None


def is_board(accessible):
    return (accessible is not None and accessible.getRole() == pyatspi.ROLE_PANEL
            and accessible.name == "board")


def is_look_again(event_type, source):
    # Told of the board or of the grid of cells that is its one child.
    return (event_type.startswith(("object:children-changed", "object:visible-data-changed",
                                   "object:model-changed")) and source is not None
            and (is_board(source) or is_board(source.parent)))


log = open(out + "/events.log", "w")


def note(text):
    log.write(text + "\n")
    log.flush()


def heard(event):
    events.append((time.monotonic(), event.type, event.source))
    # What a screen reader hears, as it reads it: the event and its object's name.
    note("  %s %d %r" % (event.type, event.detail1, event.source.name if event.source else None))
    # As a screen reader would: told that the table changed as a whole, forget what it said.
    if is_look_again(event.type, event.source):
        for cell in cells.values():
            cell.clearCache()
        cells.clear()


for kind in ("focus:", "object:state-changed:focused", "object:property-change:accessible-name",
             "object:children-changed", "object:visible-data-changed", "object:model-changed"):
    pyatspi.Registry.registerEventListener(heard, kind)


def descendants(root):
    for child in root:
        if child is not None:
            yield child
            yield from descendants(child)


def actions(accessible):
    action = accessible.queryAction()
    return {action.getName(i): (i, action.getDescription(i)) for i in range(action.nActions)}


def act(accessible, name):
    index = actions(accessible)[name][0]
    if not accessible.queryAction().doAction(index):
        raise Failure("action %s refused on %s" % (name, accessible.name))


def cell(row, column):
    if (row, column) not in cells:
        cells[(row, column)] = table.queryTable().getAccessibleAt(row, column)
    return cells[(row, column)]


def shape():
    tab = table.queryTable()
    return tab.nRows, tab.nColumns


def view():
    """Every cell's look as the client believes it, from its cached names."""
    rows, columns = shape()
    return {(r, c): look(r, c, cell(r, c).name) for r in range(rows) for c in range(columns)}


def truth():
    """Every cell's look as the program says it now, read afresh."""
    rows, columns = shape()
    result = {}
    for r in range(rows):
        for c in range(columns):
            fresh = cell(r, c)
            fresh.clearCache()
            result[(r, c)] = look(r, c, fresh.name)
    return result


def look(row, column, name):
    suffix = ", %d %d" % (row + 1, column + 1)
    if not name.endswith(suffix):
        raise Failure("cell (%d, %d) is named %r" % (row + 1, column + 1, name))
    return name[:-len(suffix)]


def told_since(start):
    """Waits until the client has been told something and nothing more came for a moment."""
    def check():
        later = [t for t, _, _ in events if t >= start]
        return bool(later) and time.monotonic() - later[-1] > 0.4
    return Wait(check, "an event after the action")


def agreed(what):
    believed, actual = view(), truth()
    stale = sorted(k for k in actual if believed[k] != actual[k])
    if stale:
        r, c = stale[0]
        raise Failure("%s: the client was not told of %d changed cells, e.g. (%d, %d) is %r, "
                      "the client believes %r" % (what, len(stale), r + 1, c + 1, actual[(r, c)],
                                                  believed[(r, c)]))
    return actual


def neighbours(cell_, rows, columns):
    r, c = cell_
    return [(r + dr, c + dc) for dr in (-1, 0, 1) for dc in (-1, 0, 1)
            if (dr or dc) and 0 <= r + dr < rows and 0 <= c + dc < columns]


def script(game):
    global table
    app = yield Wait(lambda: next((a for a in pyatspi.Registry.getDesktop(0)
                                   if a is not None and a.name == "tessfield"), None),
                     "the program on the accessibility bus")
    frame = yield Wait(lambda: next((w for w in app if w.name == TITLE), None), "its window")
    found = list(descendants(frame))

    # (The entries, the buttons and moving by keys are what the Orca test hears; this client
    # finds them by name and plays through the cells' actions.)
    entries = {a.name: a for a in found if a.getRole() == pyatspi.ROLE_TEXT}
    buttons = {a.name: a for a in found if a.getRole() == pyatspi.ROLE_PUSH_BUTTON}
    if not {"Test Code", "Play Game"} <= set(buttons):
        raise Failure("buttons: %s" % sorted(buttons))
    if not any(a.getRole() == pyatspi.ROLE_STATUS_BAR for a in found):
        raise Failure("no status bar")
    table = next((a for a in found if a.name == "board" and "Table" in pyatspi.listInterfaces(a)), None)
    if table is None:
        raise Failure("no board table")

    def setup(button, what):
        note(what)
        start = time.monotonic()
        act(buttons[button], "Press")
        yield Wait(lambda: any(is_look_again(kind, source) for t, kind, source in events
                               if t >= start), what + ": the table's look-again event")
        yield told_since(start)
        # The focus goes to "Play Game", at most by way of the window: not through every
        # control as they are disabled one by one.
        moves = [source.name for t, kind, source in events if t >= start and kind == "focus:"]
        if moves[-1:] != ["Play Game"] or set(moves) - {"Play Game", TITLE}:
            raise Failure("%s: the focus went %s" % (what, " -> ".join(moves)))

    # "Test Code" shows the layout the game below is played on.
    yield from setup("Test Code", "Test Code")
    layout = agreed("Test Code")
    if list(layout.values()).count("mine") != 45:
        raise Failure("Test Code shows %d mines" % list(layout.values()).count("mine"))
    yield from setup("Play Game", "Play Game")
    if set(agreed("Play Game").values()) != {"covered"}:
        raise Failure("Play Game's board is not all covered")
    description = table.description
    if "arrow" not in description or description.count(". ") or not description.endswith("."):
        raise Failure("the board does not say in one sentence how to play by keys: %r"
                      % description)

    def play(target, action, what):
        note("%s: %s on (%d, %d)" % (what, action, target[0] + 1, target[1] + 1))
        start = time.monotonic()
        act(cell(*target), action)
        yield told_since(start)
        return agreed(what)

    # Uncover a count, flag its mines (once off and on again), and chord it.
    rows, columns = shape()
    count = next(k for k, v in sorted(layout.items()) if v.isdigit() and
                 any(layout[n] != "mine" for n in neighbours(k, rows, columns)))
    now = yield from play(count, "uncover", "uncover")
    if now[count] != layout[count]:
        raise Failure("uncovered %s says %r" % (count, now[count]))
    around = [n for n in neighbours(count, rows, columns) if layout[n] == "mine"]
    for mine in around:
        now = yield from play(mine, "flag", "flag")
        if now[mine] != "flagged":
            raise Failure("flagged %s says %r" % (mine, now[mine]))
    now = yield from play(around[0], "flag", "unflag")
    if now[around[0]] != "covered":
        raise Failure("unflagged %s says %r" % (around[0], now[around[0]]))
    yield from play(around[0], "flag", "flag")
    now = yield from play(count, "chord", "chord")
    for n in neighbours(count, rows, columns):
        if layout[n] != "mine" and now[n] != layout[n]:
            raise Failure("after the chord %s says %r, not %r" % (n, now[n], layout[n]))

    # A sparse board: one uncover floods most of it, and a mine then uncovers it all.
    for name, text in (("rows", "20"), ("columns", "20"), ("mines", "6")):
        entries[name].queryEditableText().setTextContents(text)
    yield from setup("Test Code", "Test Code on 20 x 20")
    layout = agreed("Test Code on 20 x 20")
    # A cell object the client holds outlives a new board of the same shape, so acting on it
    # at once is not met with "No such object path".
    held = cell(5, 7)
    yield from setup("Play Game", "Play Game on 20 x 20")
    held.clearCache()
    if held.name != "covered, 6 8":
        raise Failure("a cell held through a new board of the same shape is named %r" % held.name)
    agreed("Play Game on 20 x 20")
    rows, columns = shape()
    zero = next(k for k, v in sorted(layout.items(), key=lambda kv: abs(kv[0][0] - 10) +
                                     abs(kv[0][1] - 10)) if v == "empty")
    now = yield from play(zero, "uncover", "flood")
    uncovered = [k for k, v in now.items() if v != "covered"]
    if len(uncovered) <= 64 or any(now[k] != layout[k] for k in uncovered):
        raise Failure("the flood uncovered %d cells" % len(uncovered))
    mine = next(k for k, v in sorted(layout.items()) if v == "mine")
    now = yield from play(mine, "uncover", "loss")
    if now != layout:
        raise Failure("after the loss the board is not the Test Code board")


def run():
    game = Game(program, out)
    steps = script(game)
    state = {"wait": None, "error": None}

    def tick():
        try:
            value = None
            wait = state["wait"]
            if wait is not None:
                value = wait.check()
                if not value:
                    if time.monotonic() > wait.deadline:
                        raise Failure("gave up waiting for " + wait.what)
                    return True
            state["wait"] = steps.send(value)
            return True
        except StopIteration:
            pass
        except Exception as error:  # reported below, once the event loop has stopped
            state["error"] = error
        pyatspi.Registry.stop()
        return False

    GLib.timeout_add(50, tick)
    try:
        pyatspi.Registry.start()
    finally:
        game.end()
    if state["error"] is not None:
        error = state["error"]
        print("FAIL: %s" % (error if isinstance(error, Failure) else repr(error)), flush=True)
        sys.exit(1)
    print("screen-reader client test passed")


run()
