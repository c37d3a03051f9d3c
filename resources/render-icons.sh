#!/usr/bin/env bash
# Renders the drawings in svg/ into the PNGs in icon/ that the program compiles in.
# The PNGs are committed, so only someone changing a drawing needs this (and rsvg-convert,
# Debian package librsvg2-bin). Labels use Arial's metric twin where Arial is absent.
#
# Three-state buttons: one drawing in svg/buttons/, coloured by a state style sheet:
#   "<base> 1.png" normal, "<base> 2.png" pressed, "<base>_d.png" disabled.
# Everything else: svg/<name>.svg becomes icon/<name>.png at the drawing's own size.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
svg="$here/svg"
out="$here/icon"
mkdir -p "$out"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert missing (apt-get install librsvg2-bin)" >&2; exit 1; }

for drawing in "$svg"/buttons/*.svg; do
    base=$(basename "$drawing" .svg)
    rsvg-convert -s "$svg/buttons/state-normal.css" "$drawing" -o "$out/$base 1.png"
    rsvg-convert -s "$svg/buttons/state-pressed.css" "$drawing" -o "$out/$base 2.png"
    rsvg-convert -s "$svg/buttons/state-disabled.css" "$drawing" -o "$out/${base}_d.png"
done
for drawing in "$svg"/*.svg; do
    rsvg-convert "$drawing" -o "$out/$(basename "$drawing" .svg).png"
done
ls "$out" | wc -l | xargs echo "images in icon/:"
