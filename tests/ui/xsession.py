"""The game on a real X server as a player meets it: started, found, typed at and read back.

Used by the keyboard and screen-reader tests, which run inside tests/ui/session.sh. The window
is found and measured by scripts/session-lib.sh, as for the shell tests.
"""

import os
import subprocess
import sys
import time

SESSION_LIB = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                           "session-lib.sh")
# The default board at 96 dpi: 15 columns by 10 rows of 17-pixel cells from (120, 8).
COLUMNS, ROWS, CELL, LEFT, TOP = 15, 10, 17, 120, 8


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def session(*words):
    """Runs a function of scripts/session-lib.sh and returns what it prints."""
    done = subprocess.run(["bash", SESSION_LIB] + list(words), capture_output=True, text=True)
    if done.returncode != 0:
        fail("%s: %s" % (words[0], (done.stdout + done.stderr).strip()))
    return done.stdout.strip()


TITLE = session("eval", 'echo "$TITLE"')


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
        self.window = session("print_window", str(self.process.pid))
        # No window manager gives it the keyboard: the test does, as a click on it would.
        subprocess.run(["xdotool", "windowfocus", "--sync", self.window], check=True)

    def origin(self):
        x, y = session("origin", self.window).split()
        return int(x), int(y)

    def keys(self, *names):
        subprocess.run(["xdotool", "key", "--delay", "40"] + list(names), check=True)

    def end(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(20)
        self.log.close()
