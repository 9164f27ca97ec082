"""Starts Orca with its debug log written line by line, so that a test reads each sentence as
Orca speaks it: Orca writes the log through a buffered file and never flushes it, so an idle
Orca keeps its last sentences to itself. It also lets this Orca run beside others of the same
user: Orca refuses to start while any process of the user is named orca, and the Orcas of
tests run at once, each in a session of its own, never meet.

    orca_line_buffered.py LOG_FILE [ORCA_ARGUMENT...]      (with Debian's python3)
"""

import builtins
import runpy
import sys

log_file = sys.argv[1]
plain_open = builtins.open


def line_buffered_open(file, mode="r", buffering=-1, *args, **kwargs):
    if file == log_file and "w" in mode and "b" not in mode:
        buffering = 1
    return plain_open(file, mode, buffering, *args, **kwargs)


builtins.open = line_buffered_open
sys.argv = ["/usr/bin/orca", "--debug-file", log_file] + sys.argv[2:]
orca = runpy.run_path("/usr/bin/orca", run_name="orca_launcher")
orca["main"].__globals__["otherOrcas"] = lambda: []
sys.exit(orca["main"]())
