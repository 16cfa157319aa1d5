#!/bin/sh
# Directory scan benchmark: our scan (walk + table counts + grid row texts, as the dialog runs
# it without its window) against `find -iname '*.shp'` and a minimal C walker that opens every
# .dbf and reads its header. Warm cache; best of RUNS runs each.
# Usage: scan-bench.sh [BIN_DIR] [TREE_DIR]   (BIN_DIR defaults to this script's folder, so
# the copy in the build's bin/ runs as is; the tree is generated once when missing.)
set -eu
BIN=${1:-$(dirname "$0")}
TREE=${2:-${TMPDIR:-/tmp}/conflux-scan-tree}
RUNS=${RUNS:-5}
for tool in scan_tree_gen scan_tree_walk min_dbf_walker; do
    [ -x "$BIN/$tool" ] || { echo "missing $BIN/$tool (build the project first)" >&2; exit 2; }
done
if [ ! -d "$TREE" ]; then
    "$BIN/scan_tree_gen" "$TREE"
fi

# Best wall time of RUNS runs, in seconds.
best() {
    best_time=""
    i=0
    while [ $i -lt "$RUNS" ]; do
        start=$(date +%s.%N)
        "$@" >/dev/null
        end=$(date +%s.%N)
        t=$(awk "BEGIN { print $end - $start }")
        if [ -z "$best_time" ] || awk "BEGIN { exit !($t < $best_time) }"; then best_time=$t; fi
        i=$((i + 1))
    done
    echo "$best_time"
}

"$BIN/min_dbf_walker" "$TREE" >/dev/null # warm the cache
t_find=$(best find "$TREE" -iname '*.shp')
t_min=$(best "$BIN/min_dbf_walker" "$TREE")
t_ours=$(best "$BIN/scan_tree_walk" "$TREE" 3)

echo "tree:            $TREE ($("$BIN/min_dbf_walker" "$TREE"))"
echo "ours:            $("$BIN/scan_tree_walk" "$TREE" 3)"
if command -v /usr/bin/time >/dev/null; then
    echo "ours max RSS:    $(/usr/bin/time -f '%M KiB' "$BIN/scan_tree_walk" "$TREE" 3 2>&1 >/dev/null)"
    echo "walker max RSS:  $(/usr/bin/time -f '%M KiB' "$BIN/min_dbf_walker" "$TREE" 2>&1 >/dev/null)"
fi
printf 'find:            %.3f s\n' "$t_find"
printf 'minimal walker:  %.3f s\n' "$t_min"
printf 'ours (process):  %.3f s\n' "$t_ours"
ratio=$(awk "BEGIN { printf \"%.2f\", $t_ours / $t_min }")
printf 'ours / walker:   %s (target <= 3)\n' "$ratio"
printf 'ours / find:     %s\n' "$(awk "BEGIN { printf \"%.2f\", $t_ours / $t_find }")"
awk "BEGIN { exit !($ratio <= 3) }"
