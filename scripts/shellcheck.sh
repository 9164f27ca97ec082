#!/usr/bin/env bash
# Runs shellcheck (.shellcheckrc at the root) over every shell script of the tree, the ones
# without a .sh name found by their first line; exits non-zero on any finding.
#   scripts/shellcheck.sh [file...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh shellcheck

files=("$@")
if [[ ${#files[@]} -eq 0 ]]; then
    while IFS= read -r file; do
        if [[ $file == *.sh ]] || head -1 "$file" | grep -qE '^#!.*[/ ](ba)?sh$'; then
            files+=("$file")
        fi
    done < <(git ls-files)
fi
if ! shellcheck --external-sources "${files[@]}"; then
    echo "shellcheck: findings above" >&2
    exit 1
fi
echo "shellcheck: no findings in ${#files[@]} files"
