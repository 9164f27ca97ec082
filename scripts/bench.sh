#!/usr/bin/env bash
# Builds the benchmarks in release mode, runs them and fills the tables of
# docs/performance.md (bench/report.py; the prose around them is written by hand). Takes
# several minutes; the raw results stay in build/bench/results/.
#
#   scripts/bench.sh                  the whole run, written to docs/performance.md
#   scripts/bench.sh --latency        only the latency rows and the instruction counts
#   scripts/bench.sh --compare REV    this tree against revision REV, side by side
#
# Each latency row runs in rounds interleaved with its platform floor (TESSFIELD_BENCH_ROUNDS,
# 9 by default), the program and the X server at real-time priority where the machine
# allows it (it says when it does not), and the 1-minute load average is noted around each
# program. --compare builds REV in build/compare/ (from `git archive`, measured by this
# tree's benchmarks, so both builds run the same harness), runs the latency benchmarks of
# the two builds in the order A B B A on one Xvfb, counts one growing "Play Game" of each on
# each largest board with callgrind, compares their pictures pixel for pixel and writes the
# whole to build/compare/report.md; docs/performance.md is left alone. A busy machine slows A and B
# alike, so a difference that shows in both halves is the code's.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=all compare=
case ${1:-} in
--compare) mode=compare compare=${2:?"usage: scripts/bench.sh --compare REV"} ;;
--latency) mode=latency ;;
esac

bash scripts/setup-deps.sh libbenchmark-dev libxtst-dev xvfb xauth xdotool x11-utils libx11-dev \
    time procps valgrind python3 util-linux
bash scripts/build.sh bench

repetitions=${BENCH_REPETITIONS:-15}  # fewer for a quick trial run
common=("--benchmark_repetitions=$repetitions" --benchmark_report_aggregates_only=true
        --benchmark_out_format=json)
screen_file=$PWD/bench/screen-1920x1080.json
export QT_QPA_PLATFORM=offscreen:configfile=$screen_file

load1() { cut -d' ' -f1 /proc/loadavg; }

# Real-time priority keeps other processes from taking the processor in the middle of a
# measured step; without it a busy machine's waits land in the figures.
rt=(chrt -f 10)
if "${rt[@]}" true 2>/dev/null; then
    priority="real-time priority (SCHED_FIFO 10) for the program and the X server"
else
    rt=()
    priority="normal priority: real-time priority is not allowed here (chrt -f 10 failed)"
fi
echo "$priority"

# The largest boards, where a growing "Play Game" is counted and its pictures compared.
largest=(181x181 1x32767 32767x1)

# count_instructions BENCH_DIR OUT BOARD [floor]: callgrind's count of one growing "Play Game"
# on the board (or of its platform floor).
count_instructions() {
    valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$2.callgrind" \
        "$1/play_game_count" "$3" ${4:+"$4"} >"$2.log" 2>&1
    sed -n 's/.*Collected : \([0-9]*\)$/\1/p' "$2.log" | tail -1 >"$2"
}
millions() { awk '{ printf "%.2f million", $1 / 1e6 }' "$1"; }
# counts_table ROW=PREFIX...: a table of the counts OUT/PREFIX-BOARD.instructions, one row each.
counts_table() {
    echo "| one growing \"Play Game\", from the click to the window painted | 181 × 181 | 1 × 32 767 | 32 767 × 1 |"
    echo "|---|--:|--:|--:|"
    local row board
    for row in "$@"; do
        printf '| %s |' "${row%%=*}"
        for board in "${largest[@]}"; do
            printf ' %s |' "$(millions "${row#*=}-$board.instructions")"
        done
        echo
    done
}

# latency BIN OUT: the latency rows and their floors on the running Xvfb.
latency() {
    QT_QPA_PLATFORM=xcb "${rt[@]}" "$1/latency_bench" --benchmark_filter='^(latency|floor)/' \
        --benchmark_out_format=json --benchmark_out="$2.json" >"$2.txt"
}

work=$(mktemp -d)
# shellcheck source=scripts/session-lib.sh
source scripts/session-lib.sh
trap 'end_started; rm -rf "$work"' EXIT
start_server() {
    start_xvfb "$work" 1920x1080x24
    [[ ${#rt[@]} -eq 0 ]] || chrt -f -p 10 "$XVFB_PID" >/dev/null
}

if [[ $mode == compare ]]; then
    out=build/compare
    other=$out/tree
    # Kept between runs against the same revision, so that a rerun builds only what changed.
    if [[ $(cat "$other/.revision" 2>/dev/null) != $(git rev-parse "$compare") ]]; then
        rm -rf "$other"
        mkdir -p "$other"
        git archive "$compare" | tar -x -C "$other"
        git rev-parse "$compare" >"$other/.revision"
    fi
    rm -rf "$other/bench"
    cp -r bench "$other/bench"
    (cd "$other" && cmake --preset bench >/dev/null &&
        cmake --build --preset bench -j"$(nproc)" --target latency_bench play_game_count)
    a=build/bench/bench  # this tree
    b=$other/build/bench/bench
    start_server
    loads=()
    for run in A1 B1 B2 A2; do
        bin=$a
        [[ $run == B* ]] && bin=$b
        echo "latency benchmarks, run $run..."
        before=$(load1)
        latency "$bin" "$out/$run"
        loads+=("$run $before → $(load1)")
    done
    echo "instruction counts and pictures..."
    pictures="the same, pixel for pixel"
    for board in "${largest[@]}"; do
        count_instructions "$a" "$out/A-$board.instructions" "$board"
        count_instructions "$b" "$out/B-$board.instructions" "$board"
        count_instructions "$a" "$out/floor-$board.instructions" "$board" floor
        "$a/play_game_count" "$board" "$out/A-$board.png" && "$b/play_game_count" "$board" "$out/B-$board.png"
        if ! cmp -s "$out/A-$board.png" "$out/B-$board.png" ||
            ! cmp -s "$out/A-$board-test-code.png" "$out/B-$board-test-code.png"; then
            pictures="differ"
        fi
    done
    counts_table "A, this tree=$out/A" "B, $compare=$out/B" "the platform floor=$out/floor" \
        >"$out/instructions.md"
    {
        echo "A: this tree ($(git rev-parse --short HEAD))"
        echo "B: $compare ($(git rev-parse --short "$compare"))"
        echo "priority: $priority"
        echo "pictures: $pictures"
        echo "load: $(IFS=';'; echo "${loads[*]}")"
    } >"$out/info.txt"
    python3 bench/report.py --compare "$out" | tee "$out/report.md"
    exit 0
fi

bin=build/bench/bench
results=build/bench/results
rm -rf "$results"
mkdir -p "$results/screens"
: >"$results/load.txt"
# run NAME COMMAND...: runs a benchmark program and notes the load average around it.
run() {
    local name=$1 before
    shift
    before=$(load1)
    "$@"
    echo "$name $before $(load1)" >>"$results/load.txt"
}

if [[ $mode == all ]]; then
    echo "model benchmarks..."
    run model "$bin/model_bench" "${common[@]}" --benchmark_min_time=0.02 \
        --benchmark_out="$results/model.json" >"$results/model.txt"

    # Painting on the offscreen platform: its own 800 x 800 screen, and 1920 x 1080 screens
    # at device pixel ratio 1 and 2 from a configuration file.
    echo "paint benchmarks..."
    screen_config() { # name width height dpr
        # Beside the results, not among them: report.py reads every JSON file there.
        cat >"$results/screens/$1.json" <<JSON
{ "screens": [ { "name": "$1", "x": 0, "y": 0, "width": $2, "height": $3,
                 "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": $4 } ] }
JSON
        echo "offscreen:configfile=$PWD/$results/screens/$1.json"
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
fi

echo "instruction counts of one growing Play Game and of its floor..."
for board in "${largest[@]}"; do
    count_instructions "$bin" "$results/program-$board.instructions" "$board"
    count_instructions "$bin" "$results/floor-$board.instructions" "$board" floor
done
counts_table "the program=$results/program" \
    "its platform floor: the empty window grown between the same sizes and painted=$results/floor" \
    >"$results/instructions.txt"

# A real X server for the latency (each row in rounds with its platform floor), the peak
# memory of the real program and the window's abuse cases.
echo "latency on Xvfb..."
start_server
run latency latency "$bin" "$results/latency"
if [[ $mode == all ]]; then
    # The screen is read by the tests' probe, built on its own.
    bash scripts/build.sh dev x_probe >/dev/null
    probe=build/dev/tests/ui/x_probe
    # The probe is a Qt program as well: it must read the X server, not the offscreen
    # screen exported above for the paint benchmarks.
    QT_QPA_PLATFORM=xcb bash bench/peak_memory.sh build/bench/src/tessfield "$probe" "$results/peak" \
        >"$results/peak.txt"
    # Driven by their test, on an Xvfb of its own.
    echo "the window under abuse..."
    QT_QPA_PLATFORM=xcb bash bench/window_abuse.sh build/bench/src/tessfield "$probe" "$results/window" >"$results/window.md"
fi

{
    echo "- Machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)," \
        "$(awk '/^MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo) of memory, software rendering"
    echo "- Build: $(c++ --version | head -1), release (\`bench\` preset); Qt $(dpkg-query -W -f='${Version}' qt6-base-dev);" \
        "Google Benchmark $(dpkg-query -W -f='${Version}' libbenchmark-dev); Xvfb 1920 × 1080 × 24"
    echo "- Run: $(date -u +%Y-%m-%dT%H:%MZ), $(git rev-parse --short HEAD) (\`bash scripts/bench.sh${1:+ $1}\`), $priority"
    echo "- 1-minute load average before → after each program: $(awk '{ printf "%s%s %s → %s", (NR > 1 ? "; " : ""), $1, $2, $3 }' "$results/load.txt")"
} >"$results/run.txt"

python3 bench/report.py "$results" docs/performance.md
echo "wrote docs/performance.md"
