#!/bin/sh
# Validate the desktop entry and the AppStream metainfo, and check that they agree with the
# icon files, the screenshot and the project's version.
# Exits non-zero if either validator reports an error. Any message at all
# from desktop-file-validate (warnings included) also counts as a failure.
#
# Usage: scripts/check-desktop-files.sh   (from any directory)
set -eu

APP_ID=io.github.qorv418.Tessfield
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
DATA=$ROOT/data
DESKTOP=$DATA/$APP_ID.desktop
METAINFO=$DATA/$APP_ID.metainfo.xml

# Installs the validators when they are missing (as root; scripts/test.sh does this first).
if ! command -v desktop-file-validate >/dev/null 2>&1 || ! command -v appstreamcli >/dev/null 2>&1; then
    bash "$HERE/setup-deps.sh" desktop-file-utils appstream
fi

failed=0
fail() {
    echo "FAILED: $*"
    failed=1
}

echo "== desktop-file-validate $DESKTOP"
# desktop-file-validate exits 0 even on some warnings, so any output at all
# counts as a failure here.
if out=$(desktop-file-validate "$DESKTOP" 2>&1) && [ -z "$out" ]; then
    echo "ok"
else
    printf '%s\n' "$out"
    fail "desktop-file-validate"
fi

echo "== appstreamcli validate --no-net $METAINFO"
if appstreamcli validate --no-net "$METAINFO"; then
    echo "ok"
else
    fail "appstreamcli validate"
fi

echo "== the id, the icon, the launchable and the categories agree"
key() { sed -n "s/^$1=//p" "$DESKTOP"; }
[ "$(key Icon)" = "$APP_ID" ] || fail "Icon= is '$(key Icon)', not $APP_ID"
[ "$(key Categories)" = "Game;LogicGame;" ] || fail "Categories= is '$(key Categories)'"
[ "$(key Exec)" = "tessfield" ] || fail "Exec= is '$(key Exec)', not the installed program tessfield"
grep -q "<id>$APP_ID</id>" "$METAINFO" || fail "the metainfo's id is not $APP_ID"
grep -q "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>" "$METAINFO" ||
    fail "the metainfo does not launch $APP_ID.desktop"
for size in 16x16 32x32 48x48 64x64 128x128; do
    [ -f "$DATA/icons/hicolor/$size/apps/$APP_ID.png" ] || fail "no $size icon"
done
[ -f "$DATA/icons/hicolor/scalable/apps/$APP_ID.svg" ] || fail "no scalable icon"
cmp -s "$DATA/icons/$APP_ID.svg" "$DATA/icons/hicolor/scalable/apps/$APP_ID.svg" ||
    fail "the scalable icon is not the SVG source (run scripts/make-icons.sh)"

echo "== the screenshot that the metainfo shows is in the repository"
url=$(sed -n 's:.*<image type="source">\(.*\)</image>.*:\1:p' "$METAINFO")
path=${url#https://raw.githubusercontent.com/qorv418/tessfield/main/}
if [ -z "$url" ] || [ "$path" = "$url" ]; then
    fail "the screenshot URL '$url' does not point into the repository's main branch"
elif [ ! -f "$ROOT/$path" ]; then
    fail "the screenshot $path is missing (run scripts/demo.sh --docs)"
elif ! head -c 8 "$ROOT/$path" | od -An -c | grep -q 'P   N   G'; then
    fail "$path is not a PNG"
else
    echo "ok: $path"
fi

echo "== one version everywhere"
version=$(sed -n 's/^project(tessfield VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
grep -q "<release version=\"$version\"" "$METAINFO" || fail "the metainfo has no release $version"
head -1 "$ROOT/packaging/changelog" | grep -q "^tessfield ($version-1)" ||
    fail "packaging/changelog does not start with $version-1"
grep -q "^\.TH TESSFIELD 6 .* \"tessfield $version\"" "$ROOT/packaging/tessfield.6" ||
    fail "the manual page is not for tessfield $version"

if [ "$failed" -ne 0 ]; then
    echo "check-desktop-files: FAILED"
    exit 1
fi
echo "check-desktop-files: all checks passed"
