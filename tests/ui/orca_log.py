"""What Orca has spoken, read from its debug log (written line by line, see
orca_line_buffered.py), for the Orca test and the screen-reader latency benchmark."""

import datetime
import re

SPOKEN = re.compile(r"^(\d\d:\d\d:\d\d\.\d+) - SPEECH OUTPUT: '(.*)'( ?)\{")


class OrcaLog:
    """Orca's utterances in order, as (time of day, text), without its echo of the keys pressed
    (which it logs with a voice of its own, marked by a space before the voice)."""

    def __init__(self, path):
        self.path, self.offset, self.said = path, 0, []

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
        return self.said


def seconds_of_day(stamp):
    """The log's time of day (local time, as Orca writes it) in seconds since midnight."""
    t = datetime.datetime.strptime(stamp, "%H:%M:%S.%f")
    return t.hour * 3600 + t.minute * 60 + t.second + t.microsecond / 1e6
