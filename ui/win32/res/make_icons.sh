#!/bin/sh
# Draws the tool's icons (16 and 32 pixels in one .ico each) with ImageMagick. The .ico files
# are committed; run this only to change them.
set -e
cd "$(dirname "$0")"
draw() {  # draw NAME BODY LED
    for s in 16 32; do
        k=$(echo "$s / 32" | bc -l)
        p() { printf '%.1f' "$(echo "$1 * $k" | bc -l)"; }
        convert -size ${s}x${s} xc:none \
            -stroke '#284678' -strokewidth "$(p 2)" -fill "$2" \
            -draw "roundrectangle $(p 5),$(p 12) $(p 27),$(p 28) $(p 3),$(p 3)" \
            -draw "line $(p 21),$(p 12) $(p 21),$(p 4)" \
            -stroke none -fill '#FAC83C' -draw "circle $(p 21),$(p 4) $(p 23.5),$(p 4)" \
            -fill "$3" -draw "circle $(p 10),$(p 20) $(p 12),$(p 20)" \
            "/tmp/icon-$1-$s.png"
    done
    convert "/tmp/icon-$1-16.png" "/tmp/icon-$1-32.png" "$1.ico"
    rm -f /tmp/icon-$1-*.png
}
draw marlinq '#4678BE' '#8CE68C'
draw port_open '#4678BE' '#3CC83C'
draw port_closed '#8C8C8C' '#C83C3C'
