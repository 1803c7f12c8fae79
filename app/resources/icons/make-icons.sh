#!/bin/sh
# Draws the program icon (a gauge face with three bars and a tolerance line) at every size the
# station uses. Run once with ImageMagick; the PNG files are kept in the repository.
set -eu
cd "$(dirname "$0")"
for size in 16 32 48 256; do
    # Design units are 1/256 of the icon; p scales and rounds them to pixels.
    p() { echo $(( ($1 * size + 128) / 256 )); }
    # End coordinates are inclusive: stop one pixel short so neighbouring bars stay apart.
    e() { echo $(( ($1 * size + 128) / 256 - 1 )); }
    last=$((size - 1))
    radius=$(p 40)
    convert -size "${size}x${size}" xc:none \
        -fill '#1d3557' -draw "roundrectangle 0,0 $last,$last $radius,$radius" \
        -fill '#f1faee' -draw "rectangle $(p 28),$(p 28) $(e 228),$(e 228)" \
        -fill '#2a9d8f' -draw "rectangle $(p 48),$(p 120) $(e 92),$(e 212)" \
        -fill '#e9a23b' -draw "rectangle $(p 106),$(p 64) $(e 150),$(e 212)" \
        -fill '#2a9d8f' -draw "rectangle $(p 164),$(p 104) $(e 208),$(e 212)" \
        -fill '#d62828' -draw "rectangle $(p 36),$(p 80) $(e 220),$(e 88)" \
        -strip "qorview-$size.png"
done
