#!/usr/bin/env bash
# Renders the committed PNG icons from their sources: the 16-pixel one from its hand-drawn pixel
# grid, the larger ones from the scalable drawing. Run it after editing either source; the
# icon test fails while a committed PNG differs from what this script makes.
# Usage: scripts/render-icons.sh [OUTPUT_DIR]   (default: data/icons/hicolor)
set -euo pipefail

source_dir="$(cd "$(dirname "$0")/../data/icons" && pwd)"
output_dir="${1:-$source_dir/hicolor}"

render() {
    local size=$1 target="$output_dir/${1}x${1}/apps/conflux.png"
    mkdir -p "$(dirname "$target")"
    if ((size == 16)); then
        # No metadata chunks, so a rerun makes the same bytes.
        convert "$source_dir/conflux-16.xpm" -strip -define png:exclude-chunks=date,time \
            "PNG32:$target"
    else
        rsvg-convert --width "$size" --height "$size" "$source_dir/conflux.svg" -o "$target"
    fi
}

for size in 16 32 48 64 128 256; do
    render "$size"
done
