#!/usr/bin/env bash
# Measures the test suite by planting faults: each fault of a list is applied alone to a
# scratch copy of the tree, which is built incrementally and tested; a fault that no test
# notices survived.
#
#   bash scripts/mutate.sh [NAME-PATTERN]     faults whose name matches the grep pattern
#
#   MUTATE_FAULTS   the list of faults (default scripts/mutations.txt)
#   MUTATE_CTEST    which tests to run, as ctest arguments (default: -LE slow, the quick
#                   suite); for instance -LE slow -E '^(ui_|headless_demo)' leaves out the
#                   tests on real X, Wayland and the screen reader as well
#   MUTATE_DIR      the scratch copy and its build (default build/mutate)
#   MUTATE_JOBS     tests run at once (default 2)
#   MUTATE_TIMEOUT  seconds a test may take (default 180); the Orca test needs more on a
#                   loaded machine
#
# A line of the list is a name, a file of the tree and a sed script that plants the fault in
# that file. Code that may move between files names them all, separated by commas: the fault
# goes into the first one that the script changes. A fault whose script changes none of its
# files is reported as not applied, since the code it aimed at has gone. Slow (a build per
# fault) and not part of CI.
# Exits non-zero when a fault survived, was not applied or did not build.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
faults=${MUTATE_FAULTS:-$root/scripts/mutations.txt}
scratch=${MUTATE_DIR:-$root/build/mutate}
jobs=${MUTATE_JOBS:-2}
read -r -a selection <<< "${MUTATE_CTEST:--LE slow}"
pattern=${1:-}
src=$scratch/src
build=$scratch/build
log=$scratch/log
mkdir -p "$src" "$log"

# Copies the tree (tracked and new files, not ignored ones) into the scratch copy. Only files
# whose content differs are copied, and they get a new time, so the build redoes exactly them
# and never keeps an object built from a fault.
sync_tree() {
    (cd "$root" && git ls-files -co --exclude-standard -z) |
        while IFS= read -r -d '' file; do
            [[ -f $root/$file ]] || continue
            if ! cmp -s "$root/$file" "$src/$file"; then
                mkdir -p "$(dirname "$src/$file")"
                cp "$root/$file" "$src/$file"
            fi
        done
}

build_tree() {
    nice cmake --build "$build" > "$log/build.txt" 2>&1
}

# Runs the selected tests; prints the names of those that failed.
run_tests() {
    local output=$log/ctest.txt
    if nice ctest --test-dir "$build" "${selection[@]}" -j "$jobs" --timeout "${MUTATE_TIMEOUT:-180}" \
        --stop-on-failure > "$output" 2>&1; then
        return 0
    fi
    sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (\(Failed\|Timeout\|SEGFAULT\|Subprocess aborted\|Exception\|Child aborted\).*/\1/p' \
        "$output" | head -3 | paste -sd, -
    return 1
}

echo "scratch copy: $src"
sync_tree
if [[ ! -f $build/build.ninja ]]; then
    (cd "$src" && nice cmake --preset dev -B "$build" > "$log/configure.txt" 2>&1) ||
        { cat "$log/configure.txt"; exit 1; }
fi
build_tree || { tail -30 "$log/build.txt"; echo "the tree does not build as it is"; exit 1; }
if ! failed=$(run_tests); then
    echo "the tests fail without any fault planted ($failed); see $log/ctest.txt"
    exit 1
fi

caught=0
survived=0
broken=0
total=0
summary=()
while read -r name file script; do
    [[ -z $name || $name == \#* ]] && continue
    [[ -n $pattern ]] && ! grep -q -e "$pattern" <<< "$name" && continue
    total=$((total + 1))
    planted=
    for candidate in ${file//,/ }; do
        [[ -f $root/$candidate ]] || continue
        sed -e "$script" "$root/$candidate" > "$log/planted"
        if ! cmp -s "$root/$candidate" "$log/planted"; then
            planted=$candidate
            break
        fi
    done
    if [[ -z $planted ]]; then
        result="NOT APPLIED (the script changes nothing in $file)"
        broken=$((broken + 1))
    else
        target=$src/$planted
        cp "$log/planted" "$target"
        if ! build_tree; then
            result="DOES NOT BUILD (see a build of the fault by hand)"
            broken=$((broken + 1))
        elif failed=$(run_tests); then
            result="SURVIVED"
            survived=$((survived + 1))
        else
            result="caught by $failed"
            caught=$((caught + 1))
        fi
        cp "$root/$planted" "$target"
    fi
    summary+=("$(printf '%-34s %s' "$name" "$result")")
    printf '%-34s %s\n' "$name" "$result"
done < "$faults"

# Leave the scratch build as the tree is, so that the next run starts from it.
build_tree || true
echo
echo "tests: ctest ${selection[*]}"
printf '%s\n' "${summary[@]}"
echo "$total faults: $caught caught, $survived survived, $broken not applied or not built"
[[ $survived -eq 0 && $broken -eq 0 ]]
