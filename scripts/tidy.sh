#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy at the root) over every C++ source of the tree: src/, tests/,
# fuzz/ and bench/; exits non-zero on any warning, and on a file it could not check.
#   scripts/tidy.sh [file...]     (default: all of them)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh clang-tidy python3 libbenchmark-dev libxtst-dev
# The dev build writes compile_commands.json and generates the Qt meta-object code that
# the widget sources include; the benchmarks are compiled only by the bench preset, whose
# configuration is enough for their commands.
bash scripts/build.sh dev >/dev/null
[[ -f build/bench/build.ninja ]] || cmake --preset bench >/dev/null

files=("$@")
if [[ ${#files[@]} -eq 0 ]]; then
    mapfile -t files < <(git ls-files 'src/*.cpp' 'tests/*.cpp' 'fuzz/*.cpp' 'bench/*.cpp')
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One compilation database with every file asked for. run-clang-tidy reads its file
# arguments as patterns and checks whatever they match, so a file with no command would
# otherwise pass unchecked.
python3 - "$work/compile_commands.json" "$PWD" "${files[@]}" <<'PY'
import json, os, sys
out, root, files = sys.argv[1], sys.argv[2], sys.argv[3:]
commands = {}
for build in ("build/bench", "build/dev"):  # the dev build's command wins
    for entry in json.load(open(os.path.join(root, build, "compile_commands.json"))):
        commands[os.path.realpath(os.path.join(entry["directory"], entry["file"]))] = entry
wanted = [os.path.realpath(f) for f in files]
missing = [f for f, path in zip(files, wanted) if path not in commands]
if missing:
    sys.exit("clang-tidy: no compile command for " + ", ".join(missing))
json.dump([commands[path] for path in wanted], open(out, "w"), indent=1)
PY
status=0
run-clang-tidy -quiet -p "$work" -j"$(nproc)" >"$work/log" 2>&1 || status=$?
# Only the findings: not the per-file command lines and counts of system-header warnings.
grep -v -E '^[0-9]+ warnings?( and [0-9]+ errors?)? generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter|^clang-tidy-14 |^Running clang-tidy|^$' \
    "$work/log" || true
if [[ $status -ne 0 ]]; then
    echo "clang-tidy: warnings above" >&2
    exit 1
fi
echo "clang-tidy: no warnings in ${#files[@]} files"
