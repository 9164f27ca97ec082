#!/usr/bin/env bash
# Builds the benchmarks in release mode, runs them and writes docs/performance.md.
# Takes several minutes; the raw results stay in build/bench/results/.
#
#   scripts/bench.sh                  the whole run, written to docs/performance.md
#   scripts/bench.sh --compare REV    this tree against revision REV, side by side
#
# --compare builds REV in build/compare/ (from `git archive`, measured by this tree's
# benchmarks, so both builds run the same harness), then runs the latency benchmarks of the
# two builds in the order A B B A on one Xvfb, and counts one growing "Play Game" of each
# with callgrind. It prints the medians of both and writes them to build/compare/report.md;
# docs/performance.md is left alone. A busy machine slows A and B alike, so a difference
# that shows in both halves is the code's.
set -euo pipefail
cd "$(dirname "$0")/.."

compare=
if [[ ${1:-} == --compare ]]; then
    compare=${2:?"usage: scripts/bench.sh --compare REV"}
fi

bash scripts/setup-deps.sh libbenchmark-dev libxtst-dev xvfb xauth xdotool x11-utils libx11-dev \
    time procps valgrind python3
bash scripts/build.sh bench

repetitions=${BENCH_REPETITIONS:-15}  # fewer for a quick trial run
common=("--benchmark_repetitions=$repetitions" --benchmark_report_aggregates_only=true
        --benchmark_out_format=json)
screen_file=$PWD/bench/screen-1920x1080.json

load1() { cut -d' ' -f1 /proc/loadavg; }

# count_instructions BENCH_DIR OUT: callgrind's count of one growing "Play Game" on 181 x 181.
count_instructions() {
    QT_QPA_PLATFORM=offscreen:configfile=$screen_file valgrind --tool=callgrind \
        --instr-atstart=no --callgrind-out-file="$2.callgrind" "$1/play_game_count" \
        >"$2.log" 2>&1
    sed -n 's/.*Collected : \([0-9]*\)$/\1/p' "$2.log" | tail -1 >"$2"
}

work=$(mktemp -d)
# shellcheck source=scripts/session-lib.sh
source scripts/session-lib.sh
trap 'end_started; rm -rf "$work"' EXIT

if [[ -n $compare ]]; then
    out=build/compare
    other=$out/tree
    rm -rf "$other"
    mkdir -p "$other"
    git archive "$compare" | tar -x -C "$other"
    rm -rf "$other/bench"
    cp -r bench "$other/bench"
    (cd "$other" && cmake --preset bench >/dev/null &&
        cmake --build --preset bench -j"$(nproc)" --target latency_bench play_game_count)
    a=build/bench/bench  # this tree
    b=$other/build/bench/bench
    start_xvfb "$work" 1920x1080x24
    : >"$out/load.txt"
    for run in A1 B1 B2 A2; do
        bin=$a
        [[ $run == B* ]] && bin=$b
        echo "latency benchmarks, run $run..."
        before=$(load1)
        QT_QPA_PLATFORM=xcb "$bin/latency_bench" "${common[@]}" --benchmark_filter='^latency/' \
            --benchmark_out="$out/$run.json" >"$out/$run.txt"
        echo "$run $before $(load1)" >>"$out/load.txt"
    done
    echo "instruction counts..."
    count_instructions "$a" "$out/A.instructions"
    count_instructions "$b" "$out/B.instructions"
    python3 - "$out" "$(git rev-parse --short HEAD)" "$compare" <<'PY' | tee "$out/report.md"
import json, statistics, sys
out, head, rev = sys.argv[1:4]
def times(run):
    with open(f"{out}/{run}.json") as f:
        data = json.load(f)["benchmarks"]
    found = {}
    for entry in data:
        if entry.get("aggregate_name") == "median":
            name = entry["run_name"].split("/iterations")[0]
            found[name] = entry["real_time"]
    return found
runs = {run: times(run) for run in ("A1", "B1", "B2", "A2")}
print(f"A = this tree ({head}), B = {rev}; runs in the order A B B A, medians in ms\n")
print("| benchmark | A1 | B1 | B2 | A2 | A | B | B / A |")
print("|---|--:|--:|--:|--:|--:|--:|--:|")
for name in runs["A1"]:
    values = [runs[r].get(name) for r in ("A1", "B1", "B2", "A2")]
    if None in values:
        continue
    a = statistics.mean([values[0], values[3]])
    b = statistics.mean([values[1], values[2]])
    cells = " | ".join(f"{v:.2f}" for v in values)
    print(f"| {name} | {cells} | {a:.2f} | {b:.2f} | {b / a:.2f} |")
counts = {}
for side in ("A", "B"):
    with open(f"{out}/{side}.instructions") as f:
        counts[side] = f.read().strip()
print(f"\nOne growing \"Play Game\" on 181 x 181, callgrind: A {counts['A']} instructions, "
      f"B {counts['B']} instructions.")
with open(f"{out}/load.txt") as f:
    print("\n1-minute load average before and after each run: "
          + "; ".join(" ".join(line.split()) for line in f))
PY
    exit 0
fi

bin=build/bench/bench
results=build/bench/results
rm -rf "$results"
mkdir -p "$results"
: >"$results/load.txt"
# run NAME COMMAND...: runs a benchmark program and notes the load average around it.
run() {
    local name=$1 before
    shift
    before=$(load1)
    "$@"
    echo "$name $before $(load1)" >>"$results/load.txt"
}

{
    echo "cores: $(nproc)"
    echo "cpu: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)"
    echo "memory: $(awk '/^MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo)"
    echo "benchmark: $(dpkg-query -W -f='${Version}' libbenchmark-dev)"
    echo "compiler: $(c++ --version | head -1)"
    echo "xvfb: 1920 × 1080 × 24"
} >"$results/machine.txt"

echo "model benchmarks..."
run model "$bin/model_bench" "${common[@]}" --benchmark_min_time=0.02 \
    --benchmark_out="$results/model.json" >"$results/model.txt"

# Painting on the offscreen platform: its own 800 x 800 screen, and 1920 x 1080 screens at
# device pixel ratio 1 and 2 from a configuration file.
echo "paint benchmarks..."
screen_config() { # name width height dpr
    cat >"$results/screen-$1.json" <<JSON
{ "screens": [ { "name": "$1", "x": 0, "y": 0, "width": $2, "height": $3,
                 "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": $4 } ] }
JSON
    echo "offscreen:configfile=$PWD/$results/screen-$1.json"
}
platforms=(
    offscreen
    "$(screen_config small2 800 800 2)"
    "$(screen_config desktop1 1920 1080 1)"
    "$(screen_config desktop2 1920 1080 2)"
)
for i in "${!platforms[@]}"; do
    QT_QPA_PLATFORM=${platforms[i]} run "paint-$i" "$bin/paint_bench" "${common[@]}" \
        --benchmark_min_time=0.02 --benchmark_out="$results/paint-$i.json" \
        >"$results/paint-$i.txt"
done

echo "instruction count of one growing Play Game..."
count_instructions "$bin" "$results/play-game-count"
echo "play-game-first-181x181 $(cat "$results/play-game-count")" >"$results/instructions.txt"

# A real X server for the latency (each row beside its platform floor) and the peak memory
# of the real program.
echo "latency and peak memory on Xvfb..."
start_xvfb "$work" 1920x1080x24
QT_QPA_PLATFORM=xcb run latency "$bin/latency_bench" "${common[@]}" \
    --benchmark_out="$results/latency.json" >"$results/latency.txt"
# The screen is read by the tests' probe, built on its own.
bash scripts/build.sh dev x_probe >/dev/null
probe=build/dev/tests/ui/x_probe
QT_QPA_PLATFORM=xcb bash bench/peak_memory.sh build/bench/src/tessfield "$probe" "$results/peak" \
    >"$results/peak.txt"
# The window's abuse cases, driven by their test (on an Xvfb of its own).
echo "the window under abuse..."
bash bench/window_abuse.sh build/bench/src/tessfield "$probe" "$results/window" >"$results/window.md"

mkdir -p docs
"$bin/bench_report" docs/performance.md "$results"
printf '\n' >>docs/performance.md
cat "$results/window.md" >>docs/performance.md
echo "wrote docs/performance.md"
