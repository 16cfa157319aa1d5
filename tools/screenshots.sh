#!/bin/sh
# Retakes the README's screenshots in docs/ on a virtual X server with a window manager (icewm,
# whose task bar is the panel): the host with its menu opened by F10, the dialog, the grid after
# a scan of the sample sheets, the table viewer, and a whole 1366x768 screen.
# Usage: tools/screenshots.sh [BUILD_DIR]   (default build/; needs xvfb-run, icewm, xdotool,
# x11-utils and imagemagick, all in scripts/install-deps.sh)
set -eu

if [ "${1:-}" = --session ]; then
    # Inside the X server: $2 what to take, $3 the build, $4 the sample sheets, $5 docs/.
    what=$2 build=$3 sheets=$4 docs=$5
    icewm >/dev/null 2>&1 &
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window; do sleep 0.2; done
    cd "$sheets/N-37-001"  # the chooser and file dialog start here
    "$build/bin/conflux" >/dev/null 2>&1 &

    # The id of the shown window titled exactly $1, once it is active (menus and hidden
    # helper windows carry the program's name too).
    active() {
        while :; do
            window=$(xdotool getactivewindow 2>/dev/null || true)
            if [ -n "$window" ] && [ "$(xdotool getwindowname "$window")" = "$1" ]; then
                echo "$window"
                return
            fi
            sleep 0.2
        done
    }
    # The window with the frame the window manager draws around it, cut from the screen.
    snap() {
        eval "$(xdotool getwindowgeometry --shell "$1")"
        set -- "$2" $(xprop -id "$1" _NET_FRAME_EXTENTS | tr -cs '0-9' ' ')
        import -window root -crop "$((WIDTH + $2 + $3))x$((HEIGHT + $4 + $5))+$((X - $2))+$((Y - $4))" \
            +repage "$1"
    }
    host=$(active "Conflux host")
    sleep 1
    xdotool key F10
    sleep 0.5
    [ "$what" = large ] && snap "$host" "$docs/host.png"
    xdotool key Return
    dialog=$(active Conflux)
    sleep 1
    [ "$what" = large ] && snap "$dialog" "$docs/dialog.png"
    # The root field has the focus; seven back-tabs reach "переВыбрать".
    xdotool type --delay 5 "$sheets"
    xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab space
    sleep 2
    if [ "$what" = small ]; then
        import -window root "$docs/small-screen.png"
        return 0 2>/dev/null || exit 0
    fi
    snap "$dialog" "$docs/grid.png"
    # Double-click the third candidate, the first roads: the grid lies at 240, 1320 twips in
    # the client area, its rows 18 pixels high below the header.
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    scale=$(awk "BEGIN { print $WIDTH / 634 }")
    x=$(awk "BEGIN { printf \"%d\", $X + 240 * $scale / 15 + 80 }")
    y=$(awk "BEGIN { printf \"%d\", $Y + 1320 * $scale / 15 + 30 + 2 * 18 }")
    xdotool mousemove "$x" "$y" click --repeat 2 --delay 60 1
    viewer=$(active Browse)
    sleep 1
    snap "$viewer" "$docs/viewer.png"
    exit 0
fi

build=$(cd "${1:-build}" && pwd)
docs=$(cd "$(dirname "$0")/../docs" && pwd)
# A short fixed path: it shows in the pictures.
work=${TMPDIR:-/tmp}/conflux-screens
rm -rf "$work"
trap 'rm -rf "$work"' EXIT
"$build/bin/conflux_sample_sheets" "$work/sheets" >/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --session large "$build" "$work/sheets" "$docs"
xvfb-run -a -s "-screen 0 1366x768x24" "$0" --session small "$build" "$work/sheets" "$docs"
# Small files: the pictures have few colours.
for picture in "$docs"/host.png "$docs"/dialog.png "$docs"/grid.png "$docs"/viewer.png \
    "$docs"/small-screen.png; do
    convert "$picture" -strip +dither -colors 256 "PNG8:$picture"
done
ls -l "$docs"/*.png
