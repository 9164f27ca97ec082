"""The game on a real X server as a player meets it: started, found, typed at and read back.

Used by the keyboard and screen-reader tests, which run inside tests/ui/session.sh.
"""

import os
import re
import subprocess
import sys
import time

TITLE = "tessfield - qorv418"
# The default board at 96 dpi: 15 columns by 10 rows of 17-pixel cells from (120, 8).
COLUMNS, ROWS, CELL, LEFT, TOP = 15, 10, 17, 120, 8


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def wait_until(check, what, seconds=20.0):
    """Polls check() until it returns something true, so a busy machine only makes a test slower."""
    deadline = time.monotonic() + seconds
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() > deadline:
            fail("gave up waiting for " + what)
        time.sleep(0.1)


class Game:
    """The program under test, ended by its PID."""

    def __init__(self, program, out):
        self.out = out
        self.log = open(os.path.join(out, "program.log"), "w")
        self.process = subprocess.Popen([program], stdout=self.log, stderr=subprocess.STDOUT)
        self.window = wait_until(self._find_window, "the window")
        # No window manager gives it the keyboard: the test does, as a click on it would.
        subprocess.run(["xdotool", "windowfocus", "--sync", self.window], check=True)

    def _find_window(self):
        if self.process.poll() is not None:
            fail("the program ended with status %d" % self.process.returncode)
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % TITLE],
                               capture_output=True, text=True).stdout.split()
        return found[0] if found else None

    def origin(self):
        info = subprocess.run(["xwininfo", "-id", self.window], capture_output=True, text=True,
                              check=True).stdout
        x = int(re.search(r"Absolute upper-left X: *(-?\d+)", info).group(1))
        y = int(re.search(r"Absolute upper-left Y: *(-?\d+)", info).group(1))
        return x, y

    def keys(self, *names):
        subprocess.run(["xdotool", "key", "--delay", "40"] + list(names), check=True)

    def end(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(20)
        self.log.close()
