"""How long a blind player waits and listens: from a key to the first word Orca speaks for it
(Orca's debug log gives the time it spoke), and how long that speech lasts, rendered with
espeak-ng at Orca's default rate. On the default board of 10 x 15 and on 181 x 181.

    orca_latency.py PROGRAM OUTPUT_DIR [REPEATS]      (inside tests/ui/session.sh --orca)

Prints a Markdown table. The time to the utterance is measured from just before xdotool is
started to send the key, so it includes xdotool's start (a few milliseconds).
"""

import os
import statistics
import subprocess
import sys
import time
import wave

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "ui"))
from orca_log import OrcaLog, seconds_of_day  # noqa: E402
from xsession import Game, fail  # noqa: E402

program, out = sys.argv[1:3]
repeats = int(sys.argv[3]) if len(sys.argv) > 3 else 5
log = OrcaLog(os.environ["ORCA_LOG"])
# Orca's default rate (50) is speech-dispatcher's rate 2, which its espeak-ng module turns
# into 175 words a minute.
RATE = 175
BUDGET = {"move": 1.5, "action": 2.5, "setup": 2.5, "line": None}


def speech_seconds(text):
    path = os.path.join(out, "utterance.wav")
    subprocess.run(["espeak-ng", "-s", str(RATE), "-w", path, text], check=True)
    with wave.open(path) as sound:
        return sound.getnframes() / sound.getframerate()


def press(game, key, settle=1.0, seconds=60.0):
    """Sends one key; returns (seconds to the first utterance, the utterances)."""
    start = len(log.read())
    sent = time.time()
    game.keys(key)
    deadline = time.monotonic() + seconds
    last, quiet_since = 0, time.monotonic()
    while time.monotonic() < deadline:
        heard = log.read()[start:]
        if len(heard) != last:
            last, quiet_since = len(heard), time.monotonic()
        if heard and time.monotonic() - quiet_since > settle:
            break
        time.sleep(0.02)
    heard = log.read()[start:]
    if not heard:
        fail("Orca said nothing after %s" % key)
    midnight = time.mktime(time.localtime(sent)[:3] + (0, 0, 0, 0, 0, -1))
    return seconds_of_day(heard[0][0]) - (sent - midnight), [text for _, text in heard]


def type_entry(game, text):
    game.keys("ctrl+a")
    for character in text:
        game.keys(character)


rows = []


def measure(game, board, kind, key, what, reset=None):
    times, longest = [], (0.0, "")
    for _ in range(repeats):
        if reset:
            reset()
        latency, heard = press(game, key)
        times.append(latency)
        said = heard[-1]
        longest = max(longest, (speech_seconds(said), said))
    budget = BUDGET[kind]
    rows.append("| %s | %s | %s | %.0f | %.2f | %s | %s |" % (
        board, what, key, 1000 * statistics.median(times), longest[0],
        "%.1f" % budget if budget else "-", longest[1].replace("|", "\\|")))


def play(game, board):
    # From "Play Game", where every setup leaves the focus, into the board.
    measure(game, board, "setup", "space", "setup (Space on Play Game)")
    press(game, "shift+Tab")
    measure(game, board, "move", "Right", "move right")
    measure(game, board, "move", "Down", "move down")
    measure(game, board, "line", "h", "read the row")
    measure(game, board, "action", "f", "flag or unflag")
    measure(game, board, "action", "space", "uncover", reset=lambda: press(game, "Right"))


def main():
    game = Game(program, out)
    try:
        deadline = time.monotonic() + 30
        while not any(text == "rows text." for _, text in log.read()):
            if time.monotonic() > deadline:
                fail("Orca never presented the window")
            time.sleep(0.1)
        time.sleep(1.0)
        # The default entries, 10 x 15 with 45 mines: from "rows" to "Play Game".
        for _ in range(5):
            press(game, "Tab")
        play(game, "10 x 15")
        # Back from the board to "columns" and "rows", typed 181 each, and on to "Play Game"
        # (Test Code, Game ID, mines, columns, rows; then back past the board).
        for _ in range(4):
            press(game, "shift+Tab")
        type_entry(game, "181")
        press(game, "shift+Tab")
        type_entry(game, "181")
        for _ in range(6):
            press(game, "Tab")
        play(game, "181 x 181")
    finally:
        game.end()
    print("| board | what | key | key to speech, median ms | longest speech, s | budget, s | "
          "longest said |")
    print("|---|---|---|---:|---:|---:|---|")
    print("\n".join(rows))


main()
