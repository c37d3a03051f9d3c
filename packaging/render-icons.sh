#!/usr/bin/env bash
# Renders the program's icon (resources/svg/download.svg, the same drawing as the window
# icon) at the hicolor theme's sizes into packaging/icons/. The PNGs are committed, so only
# someone changing the drawing needs this (and rsvg-convert, Debian package librsvg2-bin).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
drawing="$here/../resources/svg/download.svg"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert missing (apt-get install librsvg2-bin)" >&2; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$here/icons/${size}x${size}"
    rsvg-convert -w "$size" -h "$size" "$drawing" -o "$here/icons/${size}x${size}/com.tarvelo.utility.png"
done
echo "icons rendered into $here/icons"
