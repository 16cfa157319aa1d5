#!/usr/bin/env bash
# Times writing the benchmark dataset (polygon shapefiles of 5,000 features, Cyrillic CP1251
# text) into a new File Geodatabase feature class, side by side with ogrmerge.py -single
# -f OpenFileGDB, and reports wall time, processor time and peak memory as ratios: the merge
# from the command line (walk, inputs, summary; on half the files too, for its memory), and the
# File Geodatabase writer fed from shapefiles read through GDAL and fed with features prebuilt
# in memory (the writer alone); GDAL's reading alone is timed too.
# Usage: [RUNS=N] bench/filegdb-bench.sh BUILD_DIR [FILES]   (FILES of the 200 generated,
#        default 40, the 200,000 polygons of the baseline; a Release build is the one to
#        measure; each figure is the fastest of RUNS runs, default 3)
set -euo pipefail

build=$(cd "${1:?usage: $0 BUILD_DIR [FILES]}" && pwd)
files=${2:-40}
here=$(cd "$(dirname "$0")" && pwd)
data="$here/data"
work="$data/gdb-out"
bench="$build/bin/conflux_filegdb_load"
python=/usr/bin/python3  # the system Python, which has GDAL's bindings

"$build/bin/conflux_bench_data" "$data" "$files" 5000
rm -rf "$work" && mkdir -p "$work/inputs"
# The first FILES files, linked into one folder for the merge's walk.
for shp in $(ls "$data"/parcels_*.shp | head -n "$files"); do
    for part in "${shp%.shp}".*; do
        ln "$part" "$work/inputs/" 2>/dev/null || cp "$part" "$work/inputs/"
    done
done
inputs=("$work"/inputs/*.shp)
# Half of them, to show whether the merge's memory grows with the features.
mkdir -p "$work/half"
for shp in "${inputs[@]:0:$((${#inputs[@]} / 2))}"; do
    ln "${shp%.shp}".* "$work/half/"
done
features=$((${#inputs[@]} * 5000))

# An empty File Geodatabase made by GDAL, for each run that writes into an existing one.
empty_gdb() {
    rm -rf "$1"
    "$python" -c "import sys; from osgeo import ogr; ogr.GetDriverByName('OpenFileGDB').CreateDataSource(sys.argv[1])" "$1"
}

# run NAME SETUP COMMAND...: times one command RUNS times (default 3, for a machine that other
# work shares), each after SETUP; records the fastest wall seconds, the least processor seconds
# (user and system) and the largest peak KiB.
declare -A wall cpu memory
less() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }
run() {
    local name=$1 setup=$2 i seconds user system kib
    shift 2
    for ((i = 0; i < ${RUNS:-3}; i++)); do
        $setup
        sync
        if ! /usr/bin/time -f "%e %U %S %M" -o "$work/$name.time" "$@" > "$work/$name.log" \
                2> "$work/$name.err"; then
            printf '%-16s failed: %s\n' "$name" "$(tail -n 1 "$work/$name.err")"
            return 1
        fi
        read -r seconds user system kib < "$work/$name.time"
        if [[ -z ${wall[$name]:-} ]] || less "$seconds" "${wall[$name]}"; then
            wall[$name]=$seconds
            cp "$work/$name.log" "$work/$name.best"
        fi
        local processor
        processor=$(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }')
        if [[ -z ${cpu[$name]:-} ]] || less "$processor" "${cpu[$name]}"; then
            cpu[$name]=$processor
        fi
        ((kib > ${memory[$name]:-0})) && memory[$name]=$kib
    done
    printf '%-16s %8.2f s %6.2f s cpu %8d KiB  %s\n' "$name" "${wall[$name]}" "${cpu[$name]}" \
        "${memory[$name]}" "$(head -c 200 "$work/$name.best")"
}

cat "$data"/*.shp "$data"/*.shx "$data"/*.dbf > /dev/null  # warm the cache
echo "${#inputs[@]} files, $features polygons"
# The merge itself, from the walk of the folder to the summary.
run ours-merge "empty_gdb $work/merge.gdb" "$build/bin/conflux" merge "$work/inputs" \
    --kind polygon --gdb "$work/merge.gdb" --class merged || unset "wall[ours-merge]"
run ours-merge-half "empty_gdb $work/merge-half.gdb" "$build/bin/conflux" merge "$work/half" \
    --kind polygon --gdb "$work/merge-half.gdb" --class merged || true
run read-gdal true "$bench" read "${inputs[@]}"
run ours-load "empty_gdb $work/load.gdb" "$bench" load "$work/load.gdb" merged "${inputs[@]}"
run ours-synthetic "empty_gdb $work/synthetic.gdb" "$bench" synthetic "$work/synthetic.gdb" \
    merged "$features"
run ours-synth-half "empty_gdb $work/half.gdb" "$bench" synthetic "$work/half.gdb" merged \
    "$((features / 2))"
run ogrmerge "rm -rf $work/ogr.gdb" "$python" /usr/bin/ogrmerge.py -single -f OpenFileGDB \
    -o "$work/ogr.gdb" -nln merged "${inputs[@]}"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
echo
for ours in ours-merge ours-load; do
    [[ -n ${wall[$ours]:-} ]] || continue
    echo "$ours: wall $(ratio "${wall[$ours]}" "${wall[ogrmerge]}")x ogrmerge (target <= 0.5)," \
         "processor $(ratio "${cpu[$ours]}" "${cpu[ogrmerge]}")x," \
         "memory $(ratio "${memory[$ours]}" "${memory[ogrmerge]}")x ogrmerge"
done
echo "merge memory: ${memory[ours-merge]:-?} KiB for $features features," \
     "${memory[ours-merge-half]:-?} KiB for half as many"
# The synthetic run's own figures: the writer alone, and its memory above the prebuilt features.
alone=$(grep -o 'by [0-9.]* s;' "$work/ours-synthetic.best" | tail -1 | tr -dc '0-9.')
echo "writer alone: $alone s (features added, then the spatial index) =" \
     "$(ratio "$alone" "${wall[ogrmerge]}")x ogrmerge's whole run"
echo "writer memory: $(grep -o "the writer's own memory [0-9]* KiB" "$work/ours-synthetic.best")" \
     "for $features features, $(grep -o "[0-9]* KiB" "$work/ours-synth-half.best") for half as many"
echo
"$python" - "$work/load.gdb" "$work/ogr.gdb" <<'PY'
import sys
from osgeo import ogr
ours_gdb, peer_gdb = ogr.Open(sys.argv[1]), ogr.Open(sys.argv[2])
ours, peer = ours_gdb.GetLayerByName("merged"), peer_gdb.GetLayerByName("merged")
print("features: ours %d, ogrmerge %d" % (ours.GetFeatureCount(), peer.GetFeatureCount()))
same = sum(1 for a, b in zip(ours, peer)
           if a.GetGeometryRef().Equals(b.GetGeometryRef()) and a.GetField("NAME") == b.GetField("NAME"))
print("same geometry and NAME, feature by feature: %d" % same)
PY
