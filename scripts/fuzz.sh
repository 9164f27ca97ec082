#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset: clang with address and undefined
# sanitizers) and runs each for the given number of seconds, all of them at once:
#   scripts/fuzz.sh [seconds] [target...]     targets: number_reader setup (default: both)
# Each starts from its committed seed corpus in fuzz/corpus/<target>/ and keeps what it
# grows in build/fuzz/corpus/<target>/; an input that fails is saved as
# build/fuzz/artifacts/<target>/crash-* (or leak-, timeout-, oom-) and makes this exit 1.
# 0 seconds runs each target once over its seed corpus and grows nothing: CI's check that
# the fuzz build still builds and runs.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
seed_only=
[[ $seconds -eq 0 ]] && seed_only=1
shift || true
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(number_reader setup)

bash scripts/build.sh fuzz

declare -A max_len=([number_reader]=16384 [setup]=2048)
pids=()
for target in "${targets[@]}"; do
    program=build/fuzz/fuzz/${target}_fuzz
    [[ -x $program ]] || { echo "no fuzz target '$target'" >&2; exit 2; }
    mkdir -p "build/fuzz/corpus/$target" "build/fuzz/artifacts/$target" build/fuzz/logs
    if [[ -n $seed_only ]]; then
        # libFuzzer reads -max_total_time=0 as "no limit"; -runs=0 stops after the corpus.
        echo "running $target over its seed corpus (log: build/fuzz/logs/$target.log)"
        corpus=() limit=(-runs=0)
    else
        echo "fuzzing $target for ${seconds}s (log: build/fuzz/logs/$target.log)"
        corpus=("build/fuzz/corpus/$target") limit=(-max_total_time="$seconds")
    fi
    "$program" "${corpus[@]}" "fuzz/corpus/$target" \
        "${limit[@]}" -max_len="${max_len[$target]:-4096}" -timeout=30 \
        -rss_limit_mb=4096 -print_final_stats=1 \
        -artifact_prefix="build/fuzz/artifacts/$target/" \
        >"build/fuzz/logs/$target.log" 2>&1 &
    pids+=($!)
done

status=0
for i in "${!targets[@]}"; do
    target=${targets[$i]}
    if wait "${pids[$i]}"; then result=passed; else result=FAILED; status=1; fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "build/fuzz/logs/$target.log" | tail -1)
    echo "$target: $result, ${runs:-?} executions in ${seconds}s${seed_only:+ (the seed corpus)}"
    if [[ $result == FAILED ]]; then
        grep -E 'ERROR|fuzz invariant failed|SUMMARY|Test unit written' "build/fuzz/logs/$target.log" | head -20
    fi
done
exit $status
