#!/usr/bin/env bash
# Checks an installed tree: exactly the expected files, each of the right kind, and the
# desktop entry and metainfo valid where they were installed.
#   check_tree.sh PREFIX BINDIR
set -euo pipefail
prefix=$1
bindir=$2
here=$(cd "$(dirname "$0")" && pwd)
failed=0
fail() { echo "FAIL: $*"; failed=1; }

expected=$(grep -v '^#' "$here/expected_files.txt" | sed "s:^BINDIR/:$bindir/:" | sort)
actual=$(cd "$prefix" && find . -type f -o -type l | sed 's:^\./::' | sort)
if [[ $expected != "$actual" ]]; then
    diff <(echo "$expected") <(echo "$actual") | sed 's/^/  /' || true
    fail "the installed files differ from expected_files.txt (< expected, > installed)"
fi

program=$prefix/$bindir/tessfield
[[ -x $program ]] || fail "$program is not executable"
file -b "$program" | grep -q '^ELF 64-bit LSB pie executable' || fail "$program: $(file -b "$program")"

for size in 16 32 48 64 128; do
    icon=$prefix/share/icons/hicolor/${size}x$size/apps/io.github.qorv418.Tessfield.png
    kind=$(file -b "$icon")
    [[ $kind == "PNG image data, $size x $size, "* ]] || fail "$icon: $kind"
    if [[ $size -le 32 ]]; then
        [[ $kind == *"4-bit colormap"* ]] || fail "$icon is not a 16-colour palette image: $kind"
    fi
done
file -b "$prefix/share/icons/hicolor/scalable/apps/io.github.qorv418.Tessfield.svg" | grep -q SVG ||
    fail "the scalable icon is not an SVG"

# Gzipped with no name and no time stamp in the header (gzip -n).
for gz in share/man/man6/tessfield.6.gz share/doc/tessfield/changelog.Debian.gz; do
    gzip -t "$prefix/$gz" || fail "$gz is not a valid gzip file"
    flags_and_time=$(od -An -tx1 -j3 -N5 "$prefix/$gz" | tr -d ' ')
    [[ $flags_and_time == 0000000000 ]] || fail "$gz carries a name or time stamp ($flags_and_time)"
done
zcat "$prefix/share/man/man6/tessfield.6.gz" | grep -q '^\.TH TESSFIELD 6 ' || fail "the manual page is not in section 6"
if command -v man >/dev/null; then
    # The check lintian makes: groff must render the page without a warning.
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$prefix/share/man/man6/tessfield.6.gz" 2>&1 >/dev/null)
    [[ -z $warnings ]] || fail "the manual page renders with warnings: $warnings"
fi
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$prefix/share/doc/tessfield/copyright" || fail "the copyright file is not machine-readable"

desktop=$prefix/share/applications/io.github.qorv418.Tessfield.desktop
if ! out=$(desktop-file-validate "$desktop" 2>&1) || [[ -n $out ]]; then fail "desktop-file-validate: $out"; fi
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[[ -x $prefix/$bindir/$exec_name ]] || fail "Exec=$exec_name is not the installed program"
appstreamcli validate --no-net "$prefix/share/metainfo/io.github.qorv418.Tessfield.metainfo.xml" \
    >/dev/null || fail "appstreamcli validate"
# The installed tree as a software centre reads it: metainfo, desktop entry and icon together.
appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli validate-tree"

[[ $failed -eq 0 ]] || exit 1
echo "installed tree in $prefix: ok"
