#!/usr/bin/env bash
# Times a merge that reprojects: 200 polygon shapefiles x 5,000 features, every other one in
# WGS 84 / UTM zone 38N, merged into a shapefile in zone 37N, against ogrmerge.py -single
# -t_srs of the same inputs, side by side in each round; and the same merge of inputs all in
# zone 37N (no reprojection). Reports wall time and peak memory as ratios, and checks sampled
# features of our output against ogrmerge's within 1 mm.
# Usage: bench/reproject-bench.sh BUILD_DIR [ROUNDS]   (a Release build is the one to measure)
set -euo pipefail

build=$(cd "${1:?usage: $0 BUILD_DIR [ROUNDS]}" && pwd)
rounds=${2:-3}
here=$(cd "$(dirname "$0")" && pwd)
zones="$here/data-zones"
same="$here/data"
work="$here/data/out-reproject"
conflux="$build/bin/conflux"
python=/usr/bin/python3  # the system Python, which has GDAL's bindings

"$build/bin/conflux_bench_data" "$zones" 200 5000 zones
"$build/bin/conflux_bench_data" "$same" 200 5000
inputs=("$zones"/*.shp)
cat "$zones"/* "$same"/*.shp "$same"/*.dbf > /dev/null  # warm the cache

declare -A wall memory
run() {
    local name=$1
    shift
    /usr/bin/time -f "%e %M" -o "$work/$name.time" "$@" > "$work/$name.log" 2> "$work/$name.err"
    read -r wall[$name] memory[$name] < "$work/$name.time"
    printf '  %-14s %8.2f s %8d KiB\n' "$name" "${wall[$name]}" "${memory[$name]}"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b > 0 ? a / b : 0) }'; }

declare -a time_ratio memory_ratio same_ratio
for ((round = 1; round <= rounds; ++round)); do
    echo "round $round of $rounds"
    rm -rf "$work" && mkdir -p "$work/ours" "$work/same" "$work/ogr"
    run ours "$conflux" merge "$zones" --depth 1 --kind polygon --out "$work/ours" --name merged
    run ours-same "$conflux" merge "$same" --depth 1 --kind polygon --out "$work/same" \
        --name merged
    run ogrmerge "$python" /usr/bin/ogrmerge.py -single -f "ESRI Shapefile" -t_srs EPSG:32637 \
        -o "$work/ogr/merged.shp" "${inputs[@]}"
    time_ratio+=("$(ratio "${wall[ours]}" "${wall[ogrmerge]}")")
    memory_ratio+=("$(ratio "${memory[ours]}" "${memory[ogrmerge]}")")
    same_ratio+=("$(ratio "${wall[ours-same]}" "${wall[ours]}")")
    echo "  reprojecting: ${time_ratio[-1]}x ogrmerge's time, ${memory_ratio[-1]}x its memory;" \
         "without reprojection ${same_ratio[-1]}x the reprojecting merge's time"
done

spread() { printf '%s\n' "$@" | sort -g | awk 'NR == 1 { low = $1 } { high = $1 } END { printf "%s-%s", low, high }'; }
echo
echo "over $rounds rounds (lowest-highest):"
echo "reprojecting merge: $(spread "${time_ratio[@]}")x ogrmerge -t_srs (target <= 0.25)," \
     "peak memory $(spread "${memory_ratio[@]}")x (target < 1)"
echo "the same merge without reprojection: $(spread "${same_ratio[@]}")x the reprojecting one"
echo
"$python" - "$work/ours/merged.shp" "$work/ogr/merged.shp" <<'PYTHON'
import math, sys
import shapefile
ours, theirs = (shapefile.Reader(path) for path in sys.argv[1:3])
assert len(ours) == len(theirs) == 1000000, (len(ours), len(theirs))
worst = 0.0
for i in range(0, len(ours), 997):
    a, b = ours.shape(i).points, theirs.shape(i).points
    assert len(a) == len(b), i
    worst = max(worst, max(math.dist(p, q) for p, q in zip(a, b)))
assert worst < 1e-3, worst
print(f"checked: 1,000,000 features each; sampled vertices at most {worst:.2e} m from ogrmerge's")
PYTHON
