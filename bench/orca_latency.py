"""How long a blind player waits and listens: from a key to the first word Orca speaks for it
(Orca's debug log gives the time it spoke), and how long that speech lasts, rendered with
espeak-ng at Orca's default rate. Entering the board (Shift+Tab from "Play Game"), moves,
setups and H on 10 x 15, 181 x 181, 1 x 32767 and 32767 x 1; Tab into an entry; H and V on
the rows and columns of a 10 x 20 board that "Test Code" uncovered.

    orca_latency.py PROGRAM OUTPUT_DIR [REPEATS]      (inside tests/ui/session.sh --orca)

Prints a Markdown table. The time to the utterance is measured from just before xdotool is
started to send the key, so it includes xdotool's start (a few milliseconds). Speech is the
voiced length of what the key made Orca say (first to last sound of each utterance, summed),
so the silence espeak-ng adds at the end of a file does not count.
"""

import array
import os
import statistics
import subprocess
import sys
import time
import wave

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "ui"))
from orca_log import OrcaLog, seconds_since  # noqa: E402
from xsession import Game, fail  # noqa: E402

program, out = sys.argv[1:3]
repeats = int(sys.argv[3]) if len(sys.argv) > 3 else 5
log = OrcaLog(os.environ["ORCA_LOG"])
# Orca's default rate (50) is speech-dispatcher's rate 2, which its espeak-ng module turns
# into 175 words a minute.
RATE = 175
# Samples quieter than this (of 32767) are silence.
QUIET = 300
BUDGET = {"enter": 0.5, "move": 1.5, "edge": 1.5, "entry": 2.5, "action": 2.5, "setup": 2.5,
          "line": None}
spoken_lengths = {}


def speech_seconds(text):
    if text not in spoken_lengths:
        path = os.path.join(out, "utterance.wav")
        subprocess.run(["espeak-ng", "-s", str(RATE), "-w", path, text], check=True)
        with wave.open(path) as sound:
            samples = array.array("h", sound.readframes(sound.getnframes()))
            voiced = [i for i, v in enumerate(samples) if abs(v) > QUIET]
            rate = sound.getframerate()
        spoken_lengths[text] = (voiced[-1] - voiced[0]) / rate if voiced else 0.0
    return spoken_lengths[text]


def press(game, key, count=1):
    """Sends one key; returns (seconds to the first utterance, the utterances) once Orca has
    said at least count sentences and handled every event."""
    start = len(log.read())
    sent = time.time()
    game.keys(key)
    heard = log.wait(start, count, 120.0)
    if not heard:
        fail("Orca said nothing after %s" % key)
    return seconds_since(sent, heard[0][0]), [text for _, text in heard]


def load():
    with open("/proc/loadavg") as f:
        return f.read().split()[0]


rows = []


def spread(values, scale, digits):
    form = "%%.%df" % digits
    return (form % (scale * statistics.median(values)),
            (form + "-" + form) % (scale * min(values), scale * max(values)))


def record(board, kind, what, key, latencies, speeches, loads):
    """One row: the key-to-speech times and speech lengths of the repeats, each as a median
    with its range, and the load average before and after."""
    budget = BUDGET[kind]
    lengths = [length for length, _ in speeches]
    longest = max(speeches)
    rows.append("| %s | %s | %s | %d | %s | %s | %s | %s | %s | %s-%s | %s |" % (
        board, what, key, len(latencies), *spread(latencies, 1000, 0), *spread(lengths, 1, 2),
        "%.1f" % budget if budget else "-", loads, load(),
        " / ".join(longest[1]).replace("|", "\\|")))


def measure(game, board, kind, what, key, count=1, before=None, after=None):
    loads = load()
    latencies, speeches = [], []
    for _ in range(repeats):
        if before:
            before()
        latency, heard = press(game, key, count)
        latencies.append(latency)
        speeches.append((sum(speech_seconds(text) for text in heard), heard))
        if after:
            after()
    record(board, kind, what, key, latencies, speeches, loads)


def type_entry(game, text):
    """Types over the entry's selected value, once Orca has said the selection went."""
    press(game, text[0])
    for character in text[1:]:
        game.keys(character)


def setup_from_board(game, entries, test_code=False):
    """From the board, through "Play Game", to the entries, typed, and a new board by Return
    in the last one (or by "Test Code"); the focus ends on "Play Game"."""
    press(game, "Tab")                                    # Play Game
    for name in ("rows", "columns", "mines"):
        press(game, "Tab", 2)
        type_entry(game, entries[name])
    if test_code:
        press(game, "Tab", 2)                             # Game ID
        press(game, "Tab")                                # Test Code
    press(game, "space" if test_code else "Return", 2)


def play(game, board):
    measure(game, board, "setup", "setup (Space on Play Game)", "space")
    measure(game, board, "enter", "enter the board", "shift+Tab", 2,
            after=lambda: press(game, "Tab"))
    press(game, "shift+Tab", 2)
    measure(game, board, "move", "move right", "Right", after=lambda: press(game, "Left"))
    measure(game, board, "move", "move down", "Down", after=lambda: press(game, "Up"))
    measure(game, board, "edge", "move at an edge", "Up")
    measure(game, board, "line", "read the row", "h")


def main():
    game = Game(program, out)
    try:
        log.wait(0, 3, 120.0)
        # The default entries, 10 x 15 with 45 mines: from "rows" to "Play Game", with Tab
        # into each entry measured on the way.
        measure(game, "10 x 15", "entry", "Tab into an entry", "Tab", 2,
                after=lambda: press(game, "shift+Tab", 2))
        for _ in range(5):
            press(game, "Tab")
        play(game, "10 x 15")
        for board, (r, c) in (("181 x 181", ("181", "181")), ("1 x 32767", ("1", "32767")),
                              ("32767 x 1", ("32767", "1"))):
            setup_from_board(game, {"rows": r, "columns": c, "mines": "45"})
            play(game, board)
        # H and V on a board of 20 columns uncovered by Test Code: counts, mines and empty
        # runs as a lost game shows them.
        setup_from_board(game, {"rows": "10", "columns": "20", "mines": "40"}, test_code=True)
        press(game, "shift+Tab", 2)
        measure(game, "10 x 20, uncovered", "line", "read the row (20 cells)", "h",
                after=lambda: press(game, "Down"))
        measure(game, "10 x 20, uncovered", "line", "read the column (10 cells)", "v",
                after=lambda: press(game, "Right"))
    finally:
        game.end()
    print("| board | what | key | n | key to speech, median ms | range ms | speech, median s | "
          "range s | budget, s | load | longest said |")
    print("|---|---|---|--:|--:|--:|--:|--:|--:|--:|---|")
    print("\n".join(rows))


main()
