#!/bin/sh
# Render the application icon from its SVG into the hicolor PNG sizes.
# The 16 and 32 px icons are, as designed, 16 colours with a transparency
# mask: every pixel is either fully opaque or fully transparent, and the
# palette holds at most 16 entries, the transparent one included.
#
# Usage: scripts/make-icons.sh   (from any directory)
set -eu

APP_ID=io.github.qorv418.Tessfield
HERE=$(cd "$(dirname "$0")" && pwd)
ICONS=$(cd "$HERE/../data/icons" && pwd)
SVG=$ICONS/$APP_ID.svg
SIZES="16 32 48 64 128"
PALETTE_SIZES="16 32"
MAX_COLOURS=16

# Debian's librsvg2-bin renders the SVG; pngquant and ImageMagick make and check the palettes.
if ! command -v rsvg-convert >/dev/null 2>&1 || ! command -v pngquant >/dev/null 2>&1 ||
    ! command -v convert >/dev/null 2>&1; then
    bash "$HERE/setup-deps.sh" librsvg2-bin pngquant imagemagick
fi

[ -f "$SVG" ] || { echo "make-icons: missing $SVG" >&2; exit 1; }

mkdir -p "$ICONS/hicolor/scalable/apps"
cp "$SVG" "$ICONS/hicolor/scalable/apps/$APP_ID.svg"
echo "scalable/apps/$APP_ID.svg"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

for n in $SIZES; do
    dir=$ICONS/hicolor/${n}x${n}/apps
    out=$dir/$APP_ID.png
    mkdir -p "$dir"
    rsvg-convert --width "$n" --height "$n" --format png \
        --output "$tmp/full.png" "$SVG"

    case " $PALETTE_SIZES " in
    *" $n "*)
        # The mask: a pixel at least half covered is opaque, any other is clear.
        convert "$tmp/full.png" -channel A -threshold 50% +channel \
            "PNG32:$tmp/masked.png"
        # No dithering: at this size dither dots read as dirt.
        pngquant --force --nofs --strip --speed 1 \
            --output "$out" "$MAX_COLOURS" "$tmp/masked.png"
        alphas=$(convert "$out" -alpha extract -format '%[fx:minima] %[fx:maxima]' info: )
        partial=$(convert "$out" -alpha extract -fill black -opaque white -format '%[fx:maxima]' info:)
        if [ "$partial" != "0" ]; then
            echo "make-icons: $out has partly transparent pixels ($alphas)" >&2
            exit 1
        fi
        colours=$(identify -format '%k' "$out")
        class=$(identify -format '%[type]' "$out")
        if [ "$colours" -gt "$MAX_COLOURS" ]; then
            echo "make-icons: $out has $colours colours (max $MAX_COLOURS)" >&2
            exit 1
        fi
        case $class in
        PaletteAlpha | PaletteBilevelAlpha) ;;
        *)
            echo "make-icons: $out is $class, expected a palette with alpha" >&2
            exit 1
            ;;
        esac
        echo "${n}x${n}/apps/$APP_ID.png: $colours colours, $class"
        ;;
    *)
        cp "$tmp/full.png" "$out"
        echo "${n}x${n}/apps/$APP_ID.png: full colour"
        ;;
    esac
done
