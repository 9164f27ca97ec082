#!/usr/bin/env bash
# Measures what a blind player waits for and listens to with Orca: the time from a key to the
# first word Orca speaks for it, and how long that speech lasts at Orca's default rate, on
# 10 x 15 and 181 x 181. Writes its section of docs/performance.md (between the two marker
# lines, left as they are by the rest of the report) and keeps the raw log in
# build/release/orca-bench/.
#   scripts/bench-orca.sh [REPEATS]
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libgtest-dev \
    fonts-dejavu-core xvfb xauth xdotool \
    x11-utils dbus dbus-daemon at-spi2-core orca speech-dispatcher espeak-ng \
    speech-dispatcher-espeak-ng
[[ -f build/release/build.ninja ]] || cmake --preset release >/dev/null
cmake --build build/release --target tessfield >/dev/null

out=build/release/orca-bench
mkdir -p "$out"
table=$out/table.md
bash tests/ui/session.sh "$out" --orca -- /usr/bin/python3 bench/orca_latency.py \
    build/release/src/tessfield "$out" "${1:-5}" >"$table"

begin='<!-- screen reader: scripts/bench-orca.sh -->'
end='<!-- end of screen reader -->'
section=$(cat <<MD
$begin
## With a screen reader: from a key to Orca's words

Measured by \`scripts/bench-orca.sh\` on $(date -u +%Y-%m-%d) (release build, Xvfb, Orca $(dpkg-query -W -f='${Version}' orca),
speech-dispatcher with espeak-ng into a null output, load average $(cut -d' ' -f1-3 /proc/loadavg) at the end).
"Key to speech" is the median over the repeats, from just before xdotool is started to send
the key to the time Orca's debug log gives for its first utterance; "longest speech" is the
longest utterance rendered with espeak-ng at 175 words a minute (Orca's default rate),
trailing silence included. The budgets: 1.5 s after a move, 2.5 s after an action or a setup.

$(cat "$table")

Two budgets are missed, knowingly: a move says its cell's row, column and look ("row 6,
column 6, covered.", 2.4 s at this rate; 1.5 s holds no more than "column 6, covered."), and
a setup says the board's three numbers ("board of 10 rows by 15 columns, 45 mines.", 3.7 s;
5.3 s on 181 x 181). Both keep what a player who cannot see needs to know and say it once;
the results of actions ("5.", "flagged.", "no change.", "empty: 22 cells uncovered.", "mine:
the whole board is uncovered.") stay within 2.5 s but for the count of a flood in the tens
of thousands, and a flood of 32 000 cells is one sentence. Key to speech is about 0.05-0.2 s for a key on the board and 0.6 s for a setup, on
either board: the screen reader's work per key is one cell.
$end
MD
)
doc=docs/performance.md
if grep -qF "$begin" "$doc"; then
    python3 - "$doc" "$begin" "$end" "$section" <<'PY'
import sys
path, begin, end, section = sys.argv[1:5]
text = open(path).read()
head, rest = text.split(begin, 1)
tail = rest.split(end, 1)[1]
open(path, "w").write(head + section + tail)
PY
else
    printf '\n%s\n' "$section" >>"$doc"
fi
cat "$table"
