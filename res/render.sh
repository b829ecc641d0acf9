#!/usr/bin/env bash
# Renders the program's pictures from the SVG sources in res/svg:
#   res/png/  PNG files for the Qt build (every file there is compiled in)
#   res/win/  24-bit BMP, .ico and .cur files for the Windows resource build
# Which pictures there are, and where the lit keys and lamp lie, is read from the window's
# layout, ui/keypad_layout.h: each PICTURE row names one, drawn in svg/<name>.svg, except the
# lit pictures (<name> ends in -lit), which are cut from keypad.svg rendered with lit.css at
# the rectangle of the control that shows them.
# The rendered files are committed, so a build never needs the renderer. Run this
# after changing a source; the output is byte-for-byte the same on every run.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick (convert, identify).
set -euo pipefail
cd "$(dirname "$0")"

die() {
    echo "render.sh: $*" >&2
    exit 1
}
for tool in rsvg-convert convert identify compare dd; do
    command -v "$tool" >/dev/null || die "$tool is missing (install librsvg2-bin and imagemagick)"
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p png win

# PNG without time stamps or other run-dependent chunks.
to_png() { # in out [extra convert options...]
    local in=$1 out=$2
    shift 2
    convert "$in" "$@" -strip -define png:exclude-chunks=date,time "PNG32:$out"
}

# Opaque 24-bit Windows 3 bitmap; transparent parts become the window's white.
to_bmp() { # in out
    convert "$1" -background white -alpha remove -alpha off -type TrueColor "BMP3:$2"
}

# Fails unless every image in the file has the expected size.
check_size() { # file width height
    local got
    got=$(identify -format '%wx%h\n' "$1" | sort -u)
    [ "$got" = "$2x$3" ] || die "$1 is ${got//$'\n'/ and } pixels, expected $2x$3"
}

svg() { # source width height out.png [rsvg options...]
    local src=svg/$1 w=$2 h=$3 out=$4
    shift 4
    rsvg-convert "$@" -w "$w" -h "$h" "$src" -o "$tmp/raw.png"
    to_png "$tmp/raw.png" "$out"
    check_size "$out" "$w" "$h"
}

# The size a drawing states (its width and height attributes), in pixels.
svg_size() { # source
    sed -n 's/^<svg [^>]*width="\([0-9]*\)" height="\([0-9]*\)".*/\1 \2/p' "svg/$1" | head -1
}

layout=../ui/keypad_layout.h
# resource kind name, one picture a line
pictures=$(sed -n 's/^ *PICTURE(\([A-Z0-9_]*\), \([A-Z]*\), "\([^"]*\)").*/\1 \2 \3/p' "$layout")
[ -n "$pictures" ] || die "$layout lists no pictures"
# The rectangle (x y width height, dialog units) of the control that shows a picture.
rect_of() { # resource
    local rect
    rect=$(sed -n "s/^ *CONTROL([A-Z0-9_]*, Picture, \"\", $1, \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\),.*/\1 \2 \3 \4/p" "$layout")
    [ "$(wc -l <<<"$rect")" = 1 ] && [ -n "$rect" ] || die "no single control of $layout shows $1"
    echo "$rect"
}
resource_of() { # name
    awk -v name="$1" '$3 == name { print $1 }' <<<"$pictures"
}

# --- the keypad picture and the pictures cut from its lit rendering -------------
read -r kw kh < <(svg_size keypad.svg)
svg keypad.svg "$kw" "$kh" png/keypad.png
svg keypad.svg "$kw" "$kh" "$tmp/lit.png" -s svg/lit.css
# The window shows the keypad picture in its control scaled to the control's size, so a
# control's pixel edges are its dialog-unit edges scaled by the same factors, rounded to the
# nearest pixel.
keypad_resource=$(resource_of keypad)
[ -n "$keypad_resource" ] || die "$layout has no picture named keypad"
read -r _ _ dw dh < <(rect_of "$keypad_resource")
px_x() { echo $(((2 * $1 * kw + dw) / (2 * dw))); }
px_y() { echo $(((2 * $1 * kh + dh) / (2 * dh))); }

while read -r resource kind name; do
    case $kind/$name in
    BITMAP/*-lit)
        read -r x y w h < <(rect_of "$resource")
        left=$(px_x "$x") right=$(px_x $((x + w)))
        top=$(px_y "$y") bottom=$(px_y $((y + h)))
        pw=$((right - left)) ph=$((bottom - top))
        to_png "$tmp/lit.png" "png/$name.png" -crop "${pw}x${ph}+${left}+${top}" +repage
        check_size "png/$name.png" "$pw" "$ph"
        # The lit picture must differ from the unlit picture under it, or it would not show.
        convert png/keypad.png -crop "${pw}x${ph}+${left}+${top}" +repage "$tmp/unlit.png"
        changed=$(compare -metric AE "png/$name.png" "$tmp/unlit.png" null: 2>&1 || true)
        [ "${changed%% *}" -gt $((pw * ph / 4)) ] || die "$name barely differs from the unlit keypad"
        echo "render.sh: $name at $left,$top size ${pw}x${ph}"
        ;;
    BITMAP/keypad) ;;
    BITMAP/* | CURSOR/*)
        read -r w h < <(svg_size "$name.svg")
        svg "$name.svg" "$w" "$h" "png/$name.png"
        ;;
    ICON/*)
        # The smallest size has a drawing of its own, where the detailed one blurs.
        svg "$name-small.svg" 16 16 "png/$name-16.png"
        icons=("png/$name-16.png")
        for size in 32 48 64 128 256; do
            svg "$name.svg" "$size" "$size" "png/$name-$size.png"
            icons+=("png/$name-$size.png")
        done
        convert "${icons[@]}" -define png:exclude-chunks=date,time "ICO:win/$name.ico"
        sizes=$(identify -format '%w ' "win/$name.ico")
        [ "$sizes" = "16 32 48 64 128 256 " ] || die "win/$name.ico holds sizes $sizes"
        ;;
    *) die "$layout: picture $name has an unknown kind $kind" ;;
    esac
    case $kind in
    BITMAP)
        to_bmp "png/$name.png" "win/$name.bmp"
        read -r w h < <(identify -format '%w %h\n' "png/$name.png")
        check_size "win/$name.bmp" "$w" "$h"
        ;;
    CURSOR)
        # A cursor file is an icon file with type 2 whose per-image planes and bit count
        # fields hold the hot spot: the arrow's tip at (1, 1).
        convert "png/$name.png" "ICO:$tmp/cursor.ico"
        cp "$tmp/cursor.ico" "win/$name.cur"
        printf '\x02\x00' | dd of="win/$name.cur" bs=1 seek=2 conv=notrunc status=none
        printf '\x01\x00\x01\x00' | dd of="win/$name.cur" bs=1 seek=10 conv=notrunc status=none
        ;;
    esac
done <<<"$pictures"

# Every rendered file belongs to a listed picture: the Qt build compiles in all of png/.
for file in png/* win/*; do
    base=$(basename "${file%.*}")
    awk -v base="$base" '$3 == base || base ~ ("^" $3 "-[0-9]+$") { found = 1 } END { exit !found }' \
        <<<"$pictures" || die "$file belongs to no picture of $layout; remove it"
done

echo "render.sh: all pictures rendered"
