#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/, clang with address and undefined sanitizers) and runs
# each for the given number of seconds, all of them at once:
#   scripts/fuzz.sh [seconds] [target...]     targets: number_reader setup (default: both)
# Each starts from its committed seed corpus in fuzz/corpus/<target>/ and keeps what it
# grows in build/fuzz/corpus/<target>/; an input that fails is saved as
# build/fuzz/artifacts/<target>/crash-* (or leak-, timeout-, oom-) and makes this exit 1.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(number_reader setup)

bash scripts/setup-deps.sh clang libclang-rt-14-dev cmake ninja-build
if [[ ! -f build/fuzz/build.ninja ]]; then
    cmake -S fuzz --preset fuzz >/dev/null
fi
cmake --build build/fuzz -- -j"$(nproc)"

declare -A max_len=([number_reader]=16384 [setup]=2048)
pids=()
for target in "${targets[@]}"; do
    [[ -x build/fuzz/${target}_fuzz ]] || { echo "no fuzz target '$target'" >&2; exit 2; }
    mkdir -p "build/fuzz/corpus/$target" "build/fuzz/artifacts/$target" build/fuzz/logs
    echo "fuzzing $target for ${seconds}s (log: build/fuzz/logs/$target.log)"
    build/fuzz/"${target}_fuzz" "build/fuzz/corpus/$target" "fuzz/corpus/$target" \
        -max_total_time="$seconds" -max_len="${max_len[$target]:-4096}" -timeout=30 \
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
    echo "$target: $result, ${runs:-?} executions in ${seconds}s"
    if [[ $result == FAILED ]]; then
        grep -E 'ERROR|fuzz invariant failed|SUMMARY|Test unit written' "build/fuzz/logs/$target.log" | head -20
    fi
done
exit $status
