#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy at the root) over every source file of the dev build, the
# tests and the fuzz targets included; exits non-zero on any warning.
#   scripts/tidy.sh [file...]     (default: all of src/, tests/ and fuzz/)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh clang-tidy
# The dev build writes compile_commands.json and generates the Qt meta-object code that
# the widget sources include.
bash scripts/build.sh dev >/dev/null

files=("$@")
if [[ ${#files[@]} -eq 0 ]]; then
    mapfile -t files < <(git ls-files 'src/*.cpp' 'tests/*.cpp' 'fuzz/*.cpp')
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
run-clang-tidy -quiet -p build/dev -j"$(nproc)" "${files[@]/#/$PWD/}" >"$log" 2>&1 || status=$?
# Only the findings: not the per-file command lines and counts of system-header warnings.
grep -v -E '^[0-9]+ warnings?( and [0-9]+ errors?)? generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter|^clang-tidy-14 |^Running clang-tidy|^$' \
    "$log" || true
if [[ $status -ne 0 ]]; then
    echo "clang-tidy: warnings above" >&2
    exit 1
fi
echo "clang-tidy: no warnings in ${#files[@]} files"
