#!/usr/bin/env bash
# Times the merge of the benchmark dataset (200 polygon shapefiles x 5,000 features, Cyrillic
# CP1251 text) against its peers: ogrmerge.py -single into a shapefile and into a GeoPackage,
# and cat of all input files into one file on the same disk (the I/O limit). Reports wall time
# and peak memory as ratios and checks that the outputs are lossless.
# Usage: bench/merge-bench.sh BUILD_DIR   (a Release build is the one to measure)
set -euo pipefail

build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
data="$here/data"
work="$here/data/out"
bench="$build/bin/conflux_merge_bench"
python=/usr/bin/python3  # the system Python, which has GDAL's bindings

"$build/bin/conflux_bench_data" "$data" 200 5000
rm -rf "$work" && mkdir -p "$work/ours" "$work/ogr"
inputs=("$data"/*.shp)
cat "$data"/*.shp "$data"/*.shx "$data"/*.dbf > /dev/null  # warm the cache

# run NAME COMMAND...: times one command; records wall seconds and peak KiB.
declare -A wall memory
run() {
    local name=$1
    shift
    /usr/bin/time -f "%e %M" -o "$work/$name.time" "$@" > "$work/$name.log" 2> "$work/$name.err"
    read -r wall[$name] memory[$name] < "$work/$name.time"
    printf '%-12s %8.2f s %8d KiB\n' "$name" "${wall[$name]}" "${memory[$name]}"
}

run cat sh -c "cat \"$data\"/*.shp \"$data\"/*.shx \"$data\"/*.dbf > \"$work/cat.bin\""
rm -f "$work/cat.bin"
run ours-shp "$bench" merge shp "$data" "$work/ours" merged
run ogr-shp "$python" /usr/bin/ogrmerge.py -single -f "ESRI Shapefile" \
    -o "$work/ogr/merged.shp" "${inputs[@]}"
run ours-gpkg "$bench" merge gpkg "$data" "$work/ours.gpkg" merged
run ogr-gpkg "$python" /usr/bin/ogrmerge.py -single -f GPKG -o "$work/ogr.gpkg" "${inputs[@]}"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
echo
echo "shapefile:  wall $(ratio "${wall[ours-shp]}" "${wall[ogr-shp]}")x ogrmerge (target <= 0.25)," \
     "$(ratio "${wall[ours-shp]}" "${wall[cat]}")x cat;" \
     "memory $(ratio "${memory[ours-shp]}" "${memory[ogr-shp]}")x ogrmerge"
echo "geopackage: wall $(ratio "${wall[ours-gpkg]}" "${wall[ogr-gpkg]}")x ogrmerge (target <= 0.70);" \
     "memory $(ratio "${memory[ours-gpkg]}" "${memory[ogr-gpkg]}")x ogrmerge"
echo
"$bench" verify-shp "$data" "$work/ours/merged.shp"
"$bench" verify-gpkg "$data" "$work/ours.gpkg" merged
