#!/usr/bin/env bash
# The committed PNG icons are what scripts/render-icons.sh makes from their sources now, at the
# sizes their folders name: an edited drawing whose PNGs were not rendered again fails here.
# Usage: icons.sh SOURCE_DIR
source "$(dirname "$0")/common.sh"
source_dir=$1

"$source_dir/scripts/render-icons.sh" "$scratch" || fail "render-icons.sh"
for size in 16 32 48 64 128 256; do
    committed=$source_dir/data/icons/hicolor/${size}x${size}/apps/conflux.png
    expect "size of the ${size}x${size} icon" "${size}x${size}" "$(identify -format '%wx%h' "$committed")"
    # A renderer of another version may shade an edge pixel differently; a changed drawing
    # differs in far more.
    differing=$(compare -metric AE -fuzz 10% "$committed" "$scratch/${size}x${size}/apps/conflux.png" null: 2>&1)
    ((differing <= size * size / 100)) ||
        fail "${size}x${size} icon: $differing pixels differ from a fresh rendering"
done

finish
