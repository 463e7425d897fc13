#!/bin/sh
# Writes the programme menu's two 13 x 13 one-bit mark bitmaps beside this script:
# sd_mark.bmp ("S" and "D" in black on white, rows 3 to 9 from the top) and hd_mark.bmp
# (all white). Run it again after changing a pattern; the outputs are kept in the tree.
set -eu
cd "$(dirname "$0")"

# One byte, given in decimal.
byte() { printf "\\$(printf '%03o' "$1")"; }
le16() { byte $(($1 & 255)); byte $(($1 >> 8 & 255)); }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }

# Rows top to bottom, 13 characters each: '#' black, '.' white.
write_bitmap() {
    out=$1
    shift
    {
        # BITMAPFILEHEADER: type, file size, reserved, offset of the bits
        printf 'BM'; le32 114; le32 0; le32 62
        # BITMAPINFOHEADER: size, width, height (bottom-up), planes, bit count, no compression,
        # image size, resolution 2835 px/m (72 dpi) both ways, two colours, both important
        le32 40; le32 13; le32 13; le16 1; le16 1; le32 0; le32 52; le32 2835; le32 2835; le32 2; le32 2
        # Palette: 0 black, 1 white (blue, green, red, reserved)
        le32 0; byte 255; byte 255; byte 255; byte 0
        # Rows bottom-up, 13 bits each, padded to 4 bytes; a set bit is white.
        for row in $(printf '%s\n' "$@" | sed -n '1!G;h;$p'); do
            bits=0
            i=0
            while [ $i -lt 16 ]; do
                c=$(printf '%s' "$row" | cut -c$((i + 1)))
                bits=$((bits << 1))
                [ "$c" = "#" ] || bits=$((bits | 1))
                i=$((i + 1))
            done
            byte $((bits >> 8 & 255)); byte $((bits & 255)); byte 0; byte 0
        done
    } >"$out"
}

write_bitmap sd_mark.bmp \
    ............. \
    ............. \
    ............. \
    ..###..####.. \
    .#...#.#...#. \
    .#.....#...#. \
    ..###..#...#. \
    .....#.#...#. \
    .#...#.#...#. \
    ..###..####.. \
    ............. \
    ............. \
    .............

write_bitmap hd_mark.bmp \
    ............. ............. ............. ............. ............. ............. \
    ............. ............. ............. ............. ............. ............. \
    .............
