#!/usr/bin/env bash
# Renders logo.svg at every tray size and packs the bitmaps into ../logo.ico.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

sizes=(16 24 32 48 64 128 256)
pngs=()
for s in "${sizes[@]}"; do
  rsvg-convert -w "$s" -h "$s" "$here/logo.svg" -o "$work/$s.png"
  pngs+=("$work/$s.png")
done
# Build beside the target and move it in, so a failed run keeps the old icon.
# No time chunks: the icon only changes when the drawing does.
convert "${pngs[@]}" -define png:exclude-chunk=date,time "$work/logo.ico"
mv "$work/logo.ico" "$here/../logo.ico.new"
mv "$here/../logo.ico.new" "$here/../logo.ico"
