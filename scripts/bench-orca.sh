#!/usr/bin/env bash
# Measures what a blind player waits for and listens to with Orca: the time from a key to the
# first word Orca speaks for it, and how long that speech lasts at Orca's default rate:
# entering the board, moves, setups and H on 10 x 15, 181 x 181, 1 x 32767 and 32767 x 1,
# Tab into an entry, and H and V on a 20-column row. Writes its section of
# docs/performance.md (between the two marker lines, left as they are by the rest of the
# report) and keeps the raw log in build/release/orca-bench/.
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

# The last run of scripts/orca-under-load.sh, if there is one.
under_load() {
    local summary=build/dev/orca-under-load/summary.txt
    [[ -f $summary ]] || return 0
    printf '\nThe Orca test beside busy loops (%s, last run %s):\n\n' \
        "\`scripts/orca-under-load.sh\`" "$(date -u -r "$summary" +%Y-%m-%d)"
    sed 's/^/    /' "$summary"
}

begin='<!-- screen reader: scripts/bench-orca.sh -->'
end='<!-- end of screen reader -->'
section=$(cat <<MD
$begin
## With a screen reader: from a key to Orca's words

Measured by \`scripts/bench-orca.sh ${1:-5}\` on $(date -u +%Y-%m-%d) (release build, Xvfb, Orca $(dpkg-query -W -f='${Version}' orca),
speech-dispatcher with espeak-ng into a null output, on $(nproc) cores). Each row is one key
pressed n times. "Key to speech" runs from just before xdotool is started to send the key to
the time Orca's debug log gives for its first utterance: the median and the range of the n.
"Speech" is how long what Orca said for the key lasts, rendered with espeak-ng at 175 words
a minute (Orca's default rate), from the first to the last sound of each utterance, summed:
the median and the range. "Load" is the 1-minute load average before and after the row.
The budgets: 0.5 s from the key to the first word on entering the board, 1.5 s of speech
for a move, 2.5 s for an entry, an action or a setup.

$(cat "$table")
$(under_load)
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
