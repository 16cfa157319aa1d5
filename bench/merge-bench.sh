#!/usr/bin/env bash
# Times the merge of the benchmark dataset (200 polygon shapefiles x 5,000 features, Cyrillic
# CP1251 text) against its peers, run side by side in each round: ogrmerge.py -single into a
# shapefile and into a GeoPackage, cat of all input files into one file on the same disk (the
# I/O limit of a shapefile merge), and the insert limit of a GeoPackage layer (the rows the
# merge wrote, prebuilt in memory, inserted into an empty table in one transaction). Reports
# wall time, processor time (user and system, which other programs running at the same time
# disturb less) and peak memory as ratios per round and their spread, and checks that the
# outputs are lossless.
# Usage: bench/merge-bench.sh BUILD_DIR [ROUNDS]   (a Release build is the one to measure)
set -euo pipefail

build=$(cd "${1:?usage: $0 BUILD_DIR [ROUNDS]}" && pwd)
rounds=${2:-3}
here=$(cd "$(dirname "$0")" && pwd)
data="$here/data"
work="$here/data/out"
bench="$build/bin/conflux_merge_bench"
limit="$build/bin/conflux_gpkg_insert_limit"
python=/usr/bin/python3  # the system Python, which has GDAL's bindings

"$build/bin/conflux_bench_data" "$data" 200 5000
inputs=("$data"/*.shp)
cat "$data"/*.shp "$data"/*.shx "$data"/*.dbf > /dev/null  # warm the cache

# run NAME COMMAND...: times one command; records wall and processor seconds and peak KiB.
declare -A wall cpu memory
run() {
    local name=$1 user system
    shift
    /usr/bin/time -f "%e %M %U %S" -o "$work/$name.time" "$@" > "$work/$name.log" \
        2> "$work/$name.err"
    read -r wall[$name] memory[$name] user system < "$work/$name.time"
    cpu[$name]=$(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }')
    printf '  %-12s %8.2f s %8.2f s processor %8d KiB\n' "$name" "${wall[$name]}" \
        "${cpu[$name]}" "${memory[$name]}"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b > 0 ? a / b : 0) }'; }

declare -a shp_ogr shp_cat shp_mem gpkg_ogr gpkg_limit gpkg_mem gpkg_cpu_ogr gpkg_cpu_limit
for ((round = 1; round <= rounds; ++round)); do
    echo "round $round of $rounds"
    rm -rf "$work" && mkdir -p "$work/ours" "$work/ogr"
    run cat sh -c "cat \"$data\"/*.shp \"$data\"/*.shx \"$data\"/*.dbf > \"$work/cat.bin\""
    rm -f "$work/cat.bin"
    run ours-shp "$bench" merge shp "$data" "$work/ours" merged
    run ogr-shp "$python" /usr/bin/ogrmerge.py -single -f "ESRI Shapefile" \
        -o "$work/ogr/merged.shp" "${inputs[@]}"
    run ours-gpkg "$bench" merge gpkg "$data" "$work/ours.gpkg" merged
    run ogr-gpkg "$python" /usr/bin/ogrmerge.py -single -f GPKG -o "$work/ogr.gpkg" "${inputs[@]}"
    "$limit" "$work/ours.gpkg" merged "$work/limit.gpkg" > "$work/limit.log"
    read -r limit_seconds limit_cpu _ < "$work/limit.log"
    printf '  %-12s %8.2f s %8.2f s processor (inserts and commit only)\n' limit \
        "$limit_seconds" "$limit_cpu"
    shp_ogr+=("$(ratio "${wall[ours-shp]}" "${wall[ogr-shp]}")")
    shp_cat+=("$(ratio "${wall[ours-shp]}" "${wall[cat]}")")
    shp_mem+=("$(ratio "${memory[ours-shp]}" "${memory[ogr-shp]}")")
    gpkg_ogr+=("$(ratio "${wall[ours-gpkg]}" "${wall[ogr-gpkg]}")")
    gpkg_limit+=("$(ratio "${wall[ours-gpkg]}" "$limit_seconds")")
    gpkg_mem+=("$(ratio "${memory[ours-gpkg]}" "${memory[ogr-gpkg]}")")
    gpkg_cpu_ogr+=("$(ratio "${cpu[ours-gpkg]}" "${cpu[ogr-gpkg]}")")
    gpkg_cpu_limit+=("$(ratio "${cpu[ours-gpkg]}" "$limit_cpu")")
    echo "  shapefile  wall ${shp_ogr[-1]}x ogrmerge, ${shp_cat[-1]}x cat; memory ${shp_mem[-1]}x"
    echo "  geopackage wall ${gpkg_ogr[-1]}x ogrmerge, ${gpkg_limit[-1]}x limit;" \
         "processor ${gpkg_cpu_ogr[-1]}x ogrmerge, ${gpkg_cpu_limit[-1]}x limit;" \
         "memory ${gpkg_mem[-1]}x"
done

spread() { printf '%s\n' "$@" | sort -g | awk 'NR == 1 { low = $1 } { high = $1 } END { printf "%s-%s", low, high }'; }
echo
echo "over $rounds rounds (lowest-highest):"
echo "shapefile:  wall $(spread "${shp_ogr[@]}")x ogrmerge (target <= 0.25)," \
     "$(spread "${shp_cat[@]}")x cat; memory $(spread "${shp_mem[@]}")x ogrmerge (target < 1)"
echo "geopackage: wall $(spread "${gpkg_ogr[@]}")x ogrmerge (target <= 0.2)," \
     "$(spread "${gpkg_limit[@]}")x the insert limit (target <= 2);" \
     "memory $(spread "${gpkg_mem[@]}")x ogrmerge (target < 1)"
echo "            processor $(spread "${gpkg_cpu_ogr[@]}")x ogrmerge," \
     "$(spread "${gpkg_cpu_limit[@]}")x the insert limit"
echo
"$bench" verify-shp "$data" "$work/ours/merged.shp"
"$bench" verify-gpkg "$data" "$work/ours.gpkg" merged
