#!/usr/bin/env bash
# Renders the hicolor PNG sizes of the application icon. The PNGs are
# committed; run this after changing an SVG (needs librsvg2-bin). Sizes that
# are multiples of 16 come from the scalable drawing, whose edges sit on a
# 16-cell grid; 22 px has a drawing of its own.
set -euo pipefail
icons=$(cd "$(dirname "$0")/../resources/icons" && pwd)
render() { # source size
  mkdir -p "$icons/hicolor/$2x$2/apps"
  rsvg-convert -w "$2" -h "$2" -o "$icons/hicolor/$2x$2/apps/app.ventrel.Ventrel.png" "$1"
}
for size in 16 32 48 64 128 256 512; do
  render "$icons/hicolor/scalable/apps/app.ventrel.Ventrel.svg" "$size"
done
render "$icons/app.ventrel.Ventrel-22.svg" 22
