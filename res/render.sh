#!/usr/bin/env bash
# Renders the program's pictures from the SVG sources in res/svg:
#   res/png/  PNG files for the Qt build (listed in res/resources.qrc)
#   res/win/  24-bit BMP, .ico and .cur files for the Windows resource build
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

# --- the keypad picture and the pictures cut from its lit rendering -------------
# The window shows the keypad picture (545 x 454 px) in a control of 363 x 303
# dialog units, so a control's pixel edges are its dialog-unit edges scaled by
# 545/363 and 454/303, rounded to the nearest pixel.
px_x() { echo $(((2 * $1 * 545 + 363) / 726)); }
px_y() { echo $(((2 * $1 * 454 + 303) / 606)); }

svg keypad-141.svg 545 454 png/keypad-141.png
svg keypad-141.svg 545 454 "$tmp/lit.png" -s svg/lit.css

# name, control rectangle in dialog units (x y width height)
while read -r name x y w h; do
    left=$(px_x "$x") right=$(px_x $((x + w)))
    top=$(px_y "$y") bottom=$(px_y $((y + h)))
    pw=$((right - left)) ph=$((bottom - top))
    to_png "$tmp/lit.png" "png/$name.png" -crop "${pw}x${ph}+${left}+${top}" +repage
    check_size "png/$name.png" "$pw" "$ph"
    # The lit picture must differ from the unlit picture under it, or it would not show.
    convert png/keypad-141.png -crop "${pw}x${ph}+${left}+${top}" +repage "$tmp/unlit.png"
    changed=$(compare -metric AE "png/$name.png" "$tmp/unlit.png" null: 2>&1 || true)
    [ "${changed%% *}" -gt $((pw * ph / 4)) ] || die "$name barely differs from the unlit keypad"
    echo "render.sh: $name at $left,$top size ${pw}x${ph}"
done <<'EOF'
key1-lit-131 151 67 21 20
key2-lit-133 151 98 21 18
key3-lit-134 150 127 21 21
key4-lit-135 185 67 20 21
key5-lit-136 185 97 21 21
key6-lit-137 184 127 21 21
lamp-lit-139 173 39 11 12
EOF

# --- buttons, decoration, pointer ---------------------------------------------
svg deco-138.svg 15 17 png/deco-138.png
svg help-145.svg 32 31 png/help-145.png
svg keyboard-148.svg 80 20 png/keyboard-148.png
svg cursor-149.svg 32 32 png/cursor-149.png

for name in keypad-141 key1-lit-131 key2-lit-133 key3-lit-134 key4-lit-135 key5-lit-136 \
    key6-lit-137 deco-138 lamp-lit-139 help-145 keyboard-148; do
    to_bmp "png/$name.png" "win/$name.bmp"
    read -r w h < <(identify -format '%w %h\n' "png/$name.png")
    check_size "win/$name.bmp" "$w" "$h"
done

# A cursor file is an icon file with type 2 whose per-image planes and bit count
# fields hold the hot spot: the arrow's tip at (1, 1).
convert png/cursor-149.png "ICO:$tmp/cursor.ico"
cp "$tmp/cursor.ico" win/cursor-149.cur
printf '\x02\x00' | dd of=win/cursor-149.cur bs=1 seek=2 conv=notrunc status=none
printf '\x01\x00\x01\x00' | dd of=win/cursor-149.cur bs=1 seek=10 conv=notrunc status=none
check_size "$tmp/cursor.ico" 32 32

# --- application icon -----------------------------------------------------------
svg icon-128-small.svg 16 16 png/icon-128-16.png
icons=(png/icon-128-16.png)
for size in 32 48 64 128 256; do
    svg icon-128.svg "$size" "$size" "png/icon-128-$size.png"
    icons+=("png/icon-128-$size.png")
done
convert "${icons[@]}" -define png:exclude-chunks=date,time ICO:win/icon-128.ico
sizes=$(identify -format '%w ' win/icon-128.ico)
[ "$sizes" = "16 32 48 64 128 256 " ] || die "win/icon-128.ico holds sizes $sizes"

# Every picture the Qt build lists must be here.
grep -o '>png/[^<]*<' resources.qrc | tr -d '<>' | while read -r listed; do
    [ -f "$listed" ] || die "resources.qrc lists $listed, which was not rendered"
done

echo "render.sh: all pictures rendered"
