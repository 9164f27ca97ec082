#!/usr/bin/env bash
# `cmake --install` into a temporary prefix, then a check of everything it put there.
#   install_test.sh BUILD_DIR BINDIR
set -euo pipefail
build=$1
bindir=$2
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log"; exit 1; }
rm -f "$prefix.log"
bash "$here/check_tree.sh" "$prefix" "$bindir"
