#!/usr/bin/env bash
# Runs the Orca test (CTest ui_orca) RUNS times in a row beside busy loops that keep the load
# at LOAD_FACTOR times the cores (6 by default), to show that it waits for Orca by what Orca
# logs and not by how fast the machine is. Not part of the test command: it takes minutes and
# takes the whole machine. Prints one line per run and "N of RUNS passed"; the logs of each
# run stay in build/PRESET/orca-under-load/.
#   scripts/orca-under-load.sh [RUNS] [PRESET]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
preset=${2:-dev}
factor=${LOAD_FACTOR:-6}

bash scripts/build.sh "$preset" tessfield >/dev/null
out=build/$preset/orca-under-load
rm -rf "$out"
mkdir -p "$out"

loops=()
cleanup() {
    local pid
    for pid in "${loops[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${loops[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT
cores=$(nproc)
for ((i = 0; i < factor * cores; i++)); do
    bash -c 'while :; do :; done' &
    loops+=($!)
done
echo "$((factor * cores)) busy loops on $cores cores"

load() { cut -d' ' -f1 /proc/loadavg; }
passed=0
for ((run = 1; run <= runs; run++)); do
    before=$(load)
    started=$(date +%s)
    if ctest --preset "$preset" -R '^ui_orca$' --output-on-failure >"$out/run-$run.log" 2>&1; then
        result=passed
        passed=$((passed + 1))
    else
        result=FAILED
    fi
    cp "build/$preset/tests/ui/orca/transcript.txt" "$out/transcript-$run.txt" 2>/dev/null || true
    # What Orca did, for a run that failed: the next run starts a fresh log.
    [[ $result == passed ]] || cp "build/$preset/tests/ui/orca/orca.log" "$out/orca-$run.log" 2>/dev/null || true
    printf 'run %d: %s in %d s, load %s before, %s after\n' "$run" "$result" \
        "$(($(date +%s) - started))" "$before" "$(load)" | tee -a "$out/summary.txt"
done
echo "$passed of $runs passed" | tee -a "$out/summary.txt"
[[ $passed == "$runs" ]]
