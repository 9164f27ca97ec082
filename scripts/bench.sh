#!/usr/bin/env bash
# Builds the benchmarks in release mode, runs them and writes docs/performance.md.
# Takes several minutes; the raw results stay in build/bench/results/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh libbenchmark-dev xvfb xauth xdotool time procps
bash scripts/build.sh bench

bin=build/bench/bench
results=build/bench/results
rm -rf "$results"
mkdir -p "$results"
repetitions=${BENCH_REPETITIONS:-15}  # fewer for a quick trial run
common=(--benchmark_repetitions=$repetitions --benchmark_report_aggregates_only=true
        --benchmark_out_format=json)

{
    echo "cores: $(nproc)"
    echo "cpu: $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)"
    echo "memory: $(awk '/^MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo)"
    echo "benchmark: $(dpkg-query -W -f='${Version}' libbenchmark-dev)"
    echo "compiler: $(c++ --version | head -1)"
    echo "xvfb: 1920 × 1080 × 24"
} >"$results/machine.txt"

echo "model benchmarks..."
"$bin/model_bench" "${common[@]}" --benchmark_min_time=0.02 \
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
    QT_QPA_PLATFORM=${platforms[i]} "$bin/paint_bench" "${common[@]}" --benchmark_min_time=0.02 \
        --benchmark_out="$results/paint-$i.json" >"$results/paint-$i.txt"
done

# A real X server for the latency and the peak memory of the real program.
echo "latency and peak memory on Xvfb..."
work=$(mktemp -d)
xvfb=
cleanup() {
    [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# shellcheck source=scripts/xvfb-lib.sh
source scripts/xvfb-lib.sh
start_xvfb "$work" 1920x1080x24
xvfb=$XVFB_PID
QT_QPA_PLATFORM=xcb "$bin/latency_bench" "${common[@]}" \
    --benchmark_out="$results/latency.json" >"$results/latency.txt"
QT_QPA_PLATFORM=xcb bash bench/peak_memory.sh build/bench/src/tessfield "$results/peak" \
    >"$results/peak.txt"

mkdir -p docs
"$bin/bench_report" docs/performance.md "$results"
echo "wrote docs/performance.md"
