#!/usr/bin/env bash
# Renders vtlconfig.svg to the PNG sizes the desktop's icon theme looks for, and packs them
# into vtlconfig.ico for Windows. The PNGs and the icon are committed; run this only after
# changing the SVG. Needs rsvg-convert (Debian: librsvg2-bin) and python3.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" vtlconfig.svg -o "vtlconfig-$size.png"
done
python3 ico.py vtlconfig.ico
