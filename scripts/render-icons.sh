#!/usr/bin/env bash
# Renders the PNG icons from the scalable one; run after changing the SVG and commit the result.
# Needs rsvg-convert (Debian's librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../data/icons/hicolor"

svg=scalable/apps/io.github.quorvel.Quorvel.svg
for size in 48 128 256; do
    mkdir -p "${size}x${size}/apps"
    rsvg-convert --width "$size" --height "$size" "$svg" \
        --output "${size}x${size}/apps/io.github.quorvel.Quorvel.png"
done
