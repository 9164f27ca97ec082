#!/usr/bin/env bash
# Builds the .deb as the README says (deb preset, then CPack) in a folder of its own, checks
# its control fields and files, and runs lintian on it: no errors, and no warnings but the
# ones listed below with the reason each one stays.
#   deb_test.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work"

# initial-upload-closes-no-bugs: a first Debian revision is expected to close the "intent
# to package" bug of an upload to Debian's archive; this package is built from the project's
# own tree and is not uploaded, so there is no such bug to close.
allowed_warnings=(initial-upload-closes-no-bugs)

for tool in dpkg-shlibdeps lintian file; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/test.sh installs it)"; exit 1; }
done

if [[ ! -f $work/build/build.ninja ]]; then
    (cd "$source" && cmake --preset deb -B "$work/build" >"$work/configure.log") ||
        { cat "$work/configure.log"; exit 1; }
fi
cmake --build "$work/build" >"$work/build.log" 2>&1 || { tail -40 "$work/build.log"; exit 1; }
rm -rf "$work/out"
cpack --config "$work/build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/tessfield_*.deb)
echo "built $deb"

failed=0
fail() { echo "FAIL: $*"; failed=1; }
field() { dpkg-deb -f "$deb" "$1"; }
version=$(sed -n 's/^project(tessfield VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
[[ $(field Package) == tessfield ]] || fail "Package: $(field Package)"
[[ $(field Version) == "$version-1" ]] || fail "Version: $(field Version), not $version-1"
[[ $(field Section) == games ]] || fail "Section: $(field Section)"
[[ $(field Architecture) == "$(dpkg --print-architecture)" ]] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
echo "Depends: $depends"
# Worked out by dpkg-shlibdeps from the program's libraries, plus the platform plugins.
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins qt6-wayland; do
    [[ $depends == *"$package"* ]] || fail "Depends lacks $package"
done
# The changelog's newest entry is this version.
changelog_version=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/tessfield/changelog.Debian.gz |
    zcat | head -1 | sed -n 's/^tessfield (\([^)]*\)).*/\1/p')
[[ $changelog_version == "$version-1" ]] || fail "changelog.Debian.gz is for $changelog_version"

# Every file where a Debian desktop expects it: the same tree as cmake --install, in /usr,
# with the program in /usr/games.
root=$work/root
rm -rf "$root"
dpkg-deb -x "$deb" "$root"
bash "$here/check_tree.sh" "$root/usr" games || failed=1
# Owned by root, files 0644 and the program and folders 0755.
odd=$(dpkg-deb -c "$deb" | awk '$2 != "root/root" ||
    ($1 != "-rw-r--r--" && $1 != "-rwxr-xr-x" && $1 != "drwxr-xr-x")')
[[ -z $odd ]] || fail "odd owners or modes: $odd"

echo "== lintian"
set +e
report=$(lintian --pedantic --display-info "$deb" 2>&1)
status=$?
set -e
echo "$report"
[[ $status -eq 0 ]] || fail "lintian exited with $status"
grep -q '^E: ' <<<"$report" && fail "lintian reports errors"
while read -r tag; do
    [[ -z $tag ]] && continue
    if [[ " ${allowed_warnings[*]} " != *" $tag "* ]]; then
        fail "lintian warns: $tag"
    fi
done < <(sed -n 's/^W: [^:]*: \([^ ]*\).*/\1/p' <<<"$report")

[[ $failed -eq 0 ]] || exit 1
echo "deb test passed: $deb"
