#!/bin/sh
# Validate the desktop entry and the AppStream metainfo.
# Exits non-zero if either validator reports an error. Any message at all
# from desktop-file-validate (warnings included) also counts as a failure.
#
# Usage: scripts/check-desktop-files.sh   (from any directory)
set -eu

APP_ID=io.github.qorv418.Tessfield
HERE=$(cd "$(dirname "$0")" && pwd)
DATA=$(cd "$HERE/../data" && pwd)
DESKTOP=$DATA/$APP_ID.desktop
METAINFO=$DATA/$APP_ID.metainfo.xml

need() {
    # need COMMAND DEBIAN_PACKAGE
    if ! command -v "$1" >/dev/null 2>&1; then
        echo "check-desktop-files: installing $2 for $1" >&2
        if [ "$(id -u)" -eq 0 ]; then
            DEBIAN_FRONTEND=noninteractive apt-get install -y "$2" >/dev/null
        else
            sudo DEBIAN_FRONTEND=noninteractive apt-get install -y "$2" >/dev/null
        fi
    fi
}

need desktop-file-validate desktop-file-utils
need appstreamcli appstream

failed=0

echo "== desktop-file-validate $DESKTOP"
# desktop-file-validate exits 0 even on some warnings, so any output at all
# counts as a failure here.
if out=$(desktop-file-validate "$DESKTOP" 2>&1) && [ -z "$out" ]; then
    echo "ok"
else
    printf '%s\n' "$out"
    echo "FAILED"
    failed=1
fi

echo "== appstreamcli validate --no-net $METAINFO"
if appstreamcli validate --no-net "$METAINFO"; then
    echo "ok"
else
    echo "FAILED"
    failed=1
fi

if [ "$failed" -ne 0 ]; then
    echo "check-desktop-files: FAILED"
    exit 1
fi
echo "check-desktop-files: all checks passed"
