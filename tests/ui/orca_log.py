"""What Orca has spoken, read from its debug log (written line by line, see
orca_line_buffered.py), for the Orca test and the screen-reader latency benchmark."""

import datetime
import re
import time

SPOKEN = re.compile(r"^(\d\d:\d\d:\d\d\.\d+) - SPEECH OUTPUT: '(.*)'( ?)\{")
# Orca queues each event it listens to and logs it as it goes in and as it comes out; a flood
# prunes some unprocessed. Each event's handling, and each key's, is logged between two marks.
QUEUED = re.compile(r" - EVENT MANAGER: Queueing ")
DEQUEUED = re.compile(r" - EVENT MANAGER: Dequeued ")
PRUNED = re.compile(r" - EVENT MANAGER: (\d+) events pruned")
BEGUN = re.compile(r"^vvvvv PROCESS ")
ENDED = re.compile(r"^\^\^\^\^\^ PROCESS ")
# How long Orca took to present the board as the focus entered it: its name, its role, and
# the labels Orca looks for under it, which once meant asking every cell.
BOARD = re.compile(r" - SPEECH GENERATOR: Starting ancestor generation for \[panel \| board\]")
COMPLETED = re.compile(r"^\s+COMPLETION TIME: ([0-9.]+)")


class OrcaLog:
    """Orca's utterances in order, as (time of day, text), without its echo of the keys pressed
    (which it logs with a voice of its own, marked by a space before the voice)."""

    def __init__(self, path):
        self.path, self.offset, self.said = path, 0, []
        self.waiting = 0   # events queued and not yet taken out
        self.busy = 0      # handlings begun and not yet ended
        self.board_times = []  # seconds Orca took to present the board, each time
        self.presenting_board = False

    def read(self):
        with open(self.path, "rb") as log:
            log.seek(self.offset)
            chunk = log.read()
        # Only whole lines: Orca may be writing the last one.
        complete = chunk[:chunk.rfind(b"\n") + 1]
        self.offset += len(complete)
        for line in complete.decode("utf-8", errors="replace").splitlines():
            match = SPOKEN.match(line)
            if match and not match.group(3):
                self.said.append((match.group(1), match.group(2)))
            elif QUEUED.search(line):
                self.waiting += 1
            elif DEQUEUED.search(line):
                self.waiting -= 1
            elif PRUNED.search(line):
                self.waiting -= int(PRUNED.search(line).group(1))
            elif BEGUN.match(line):
                self.busy += 1
            elif ENDED.match(line):
                self.busy -= 1
            elif BOARD.search(line):
                self.presenting_board = True
            elif self.presenting_board and COMPLETED.match(line):
                self.board_times.append(float(COMPLETED.match(line).group(1)))
                self.presenting_board = False
        return self.said

    def idle(self):
        """Whether Orca, by its log, has handled every event it was sent so far."""
        self.read()
        return self.waiting <= 0 and self.busy <= 0

    def wait(self, start, count, seconds):
        """Waits until at least count utterances follow the first start ones and Orca is idle;
        returns them, or None on the deadline. Polls the log: a slow machine only takes longer."""
        deadline = time.monotonic() + seconds
        while True:
            heard = self.read()[start:]
            if len(heard) >= count and self.idle():
                return heard
            if time.monotonic() > deadline:
                return None
            time.sleep(0.02)


def seconds_of_day(stamp):
    """The log's time of day (local time, as Orca writes it) in seconds since midnight."""
    t = datetime.datetime.strptime(stamp, "%H:%M:%S.%f")
    return t.hour * 3600 + t.minute * 60 + t.second + t.microsecond / 1e6


def seconds_since(sent, stamp):
    """From a time.time() to a time of day in Orca's log, in seconds."""
    midnight = time.mktime(time.localtime(sent)[:3] + (0, 0, 0, 0, 0, -1))
    return seconds_of_day(stamp) - (sent - midnight)
