#!/usr/bin/env bash
# What the window's abuse cases cost (tests/ui/window_x_test.sh, which drives them on an Xvfb
# of its own: pastes into an entry, sizes and places forced on the window): how far the
# resident memory grew at its peak and at the end, the processor time each case took, and
# the processor time of two seconds of idling after it. Prints a Markdown section with the
# figures against their budgets.
#   window_abuse.sh PROGRAM X_PROBE OUTPUT_DIR
set -euo pipefail
program=$1
probe=$2
out=$3
mkdir -p "$out"

# Budgets: the peak growth (MB) and the processor time (ms) of the cases named here, and of
# every other case (a forced size, place or scale). For every case the growth that stays is
# at most 8 MB, and idling costs at most 100 ms in 2 s: a huge paste or size must cost
# neither memory nor time once it is refused or clamped.
budgets=(
    "paste-1MB-x8    8   1500"
    "paste-10MB      64  1500"
    "*               64  3000"
)
kept_budget=8 idle_budget=100
budget_of() { # NAME: sets mb and busy
    local row pattern
    for row in "${budgets[@]}"; do
        read -r pattern mb busy <<<"$row"
        # shellcheck disable=SC2053 # the pattern is a glob on purpose
        [[ $1 == $pattern ]] && return 0
    done
}

figures=$out/figures.txt
: >"$figures"
WINDOW_FIGURES=$figures bash "$(dirname "${BASH_SOURCE[0]}")/../tests/ui/window_x_test.sh" \
    "$program" "$probe" "$out/run" >"$out/window_x.log" 2>&1 ||
    { cat "$out/window_x.log" >&2; echo "window_abuse.sh: the window test failed" >&2; exit 1; }

echo "## The window under abuse"
echo
echo "Measured by \`bench/window_abuse.sh\` on $(date -u +%Y-%m-%d) (load average $(cut -d' ' -f1-3 /proc/loadavg) at the end):"
echo "each case of \`tests/ui/window_x_test.sh\` on Xvfb without a window manager, its figures read"
echo "from /proc once the program has slept for half a second. \"Busy\" is the processor time the case"
echo "took (for a case that only starts the program, its whole start); \"idle\" the processor time of"
echo "the next two seconds. Budgets: the peak growth and busy time in the table, at most"
echo "$kept_budget MB of growth kept and $idle_budget ms of idling for every case."
echo
echo "| case | resident growth, kept / peak | budget | busy | budget | idle 2 s | met |"
echo "|---|--:|--:|--:|--:|--:|---|"
missed=0
while read -r name kept peak used idle; do
    budget_of "$name"
    met=yes
    if ((kept > kept_budget || peak > mb || used > busy || idle > idle_budget)); then
        met=no missed=1
    fi
    echo "| $name | $kept / $peak MB | $mb MB | $used ms | $busy ms | $idle ms | $met |"
done <"$figures"
((missed == 0)) || echo -e "\nA budget was missed: see the rows marked no."
