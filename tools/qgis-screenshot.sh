#!/bin/sh
# Retakes docs/qgis.png: QGIS on a virtual X server with the plugin of the build, the merge
# algorithm's dialog filled in for the sample sheets' roads and run, its log showing the summary.
# Usage: tools/qgis-screenshot.sh [BUILD_DIR]   (default build/; needs QGIS, from
# scripts/install-deps.sh --tests, and what tools/screenshots.sh needs)
set -eu

if [ "${1:-}" = --session ]; then
    icewm >/dev/null 2>&1 &
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window; do sleep 0.2; done
    qgis --nologo --noversioncheck --profiles-path "$work/profile" --code "$work/open.py" \
        >/dev/null 2>&1 &
    until dialog=$(xdotool search --name "^Merge shapefiles from folders$" 2>/dev/null); do
        sleep 0.5
    done
    sleep 2
    xdotool windowactivate --sync "$dialog" key Return  # Run
    sleep 8
    import -window root "$2"
    exit 0
fi

build=$(cd "${1:-build}" && pwd)
docs=$(cd "$(dirname "$0")/../docs" && pwd)
work=${TMPDIR:-/tmp}/conflux-screens
rm -rf "$work"
trap 'rm -rf "$work"' EXIT
"$build/bin/conflux_sample_sheets" "$work/sheets" >/dev/null
mkdir -p "$work/out" "$work/profile"
cat >"$work/open.py" <<PYTHON
from qgis.PyQt.QtCore import QTimer
import processing
QTimer.singleShot(2000, lambda: processing.execAlgorithmDialog("conflux:merge", {
    "ROOT": "$work/sheets", "FILE_MASK": "roads*", "KIND": "line",
    "OUTPUT": "$work/out/roads.shp"}))
PYTHON
export QGIS_PLUGINPATH="$build/qgis" CONFLUX_EXECUTABLE="$build/bin/conflux" work
QT_QPA_PLATFORM=offscreen QGIS_CUSTOM_CONFIG_PATH="$work/profile" \
    /usr/bin/qgis_process.bin plugins enable conflux >/dev/null
xvfb-run -a -s "-screen 0 1280x900x24" "$0" --session "$docs/qgis.png"
convert "$docs/qgis.png" -strip +dither -colors 256 "PNG8:$docs/qgis.png"
