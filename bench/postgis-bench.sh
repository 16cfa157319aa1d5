#!/usr/bin/env bash
# Times merging the benchmark dataset (polygon shapefiles of 5,000 features, Cyrillic CP1251
# text) into a PostGIS table with `conflux merge --pg`, side by side in each round with
# ogrmerge.py -single (GDAL's PostgreSQL driver, which loads with COPY) into the same server,
# and reports wall time, processor time (user and system, which other programs running at the
# same time disturb less) and peak memory, each the best of the rounds, as ratios. A merge of a
# quarter of the files shows whether the merge's memory grows with its input. The writer fed
# through GDAL and the writer on prebuilt features are timed once, to tell the costs apart.
# The server is a throwaway cluster in bench/data/pg (Unix socket only, no TCP port), stopped
# and deleted when the script ends; it runs as the postgres user when the script runs as root.
# Usage: bench/postgis-bench.sh BUILD_DIR [FILES] [ROUNDS]   (FILES of the 200 generated,
#        default 40; ROUNDS default 3; a Release build is the one to measure)
set -euo pipefail

build=$(cd "${1:?usage: $0 BUILD_DIR [FILES]}" && pwd)
files=${2:-40}
rounds=${3:-3}
here=$(cd "$(dirname "$0")" && pwd)
data="$here/data"
work="$data/pg-out"
cluster="$data/pg"
bindir=/usr/lib/postgresql/15/bin
bench="$build/bin/conflux_postgis_load"
python=/usr/bin/python3  # the system Python, which has GDAL's bindings

"$build/bin/conflux_bench_data" "$data" "$files" 5000
rm -rf "$work" && mkdir -p "$work/inputs"
# The first FILES files, linked into one folder for the merge's walk, and a quarter of them.
mkdir -p "$work/quarter"
n=0
for shp in $(ls "$data"/parcels_*.shp | head -n "$files"); do
    for part in "${shp%.shp}".*; do
        ln "$part" "$work/inputs/" 2>/dev/null || cp "$part" "$work/inputs/"
        if (( n < (files + 3) / 4 )); then
            ln "$part" "$work/quarter/" 2>/dev/null || cp "$part" "$work/quarter/"
        fi
    done
    n=$((n + 1))
done
inputs=("$work"/inputs/*.shp)

# The server: as the postgres user when root (PostgreSQL refuses root); it receives SIGQUIT
# (immediate shutdown) should this script die without its exit trap.
as_server=()
if [[ $(id -u) -eq 0 ]]; then
    as_server=(setpriv --reuid=postgres --regid=postgres --clear-groups)
fi
stop_server() {
    if [[ -n ${server_pid:-} ]]; then
        kill -QUIT "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
    fi
    rm -rf "$cluster"
}
trap stop_server EXIT
rm -rf "$cluster" && mkdir -p "$cluster"
[[ $(id -u) -eq 0 ]] && chown postgres: "$cluster"
"${as_server[@]}" "$bindir/initdb" -D "$cluster/data" -U bench -A trust -E UTF8 --locale=C \
    --no-instructions > "$work/initdb.log"
"${as_server[@]}" --pdeathsig SIGQUIT "$bindir/postgres" -D "$cluster/data" -k "$cluster" \
    -c listen_addresses= -c max_wal_size=4GB ${CONFLUX_BENCH_PG_OPTIONS:-} > "$work/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 300); do
    "$bindir/pg_isready" -q -h "$cluster" -U bench -d postgres && break
    sleep 0.1
done
export PGHOST="$cluster" PGUSER=bench PGDATABASE=postgres
psql -q -X -c 'CREATE EXTENSION postgis'
conninfo="host=$cluster user=bench dbname=postgres"

# run NAME COMMAND...: times one command; keeps the best wall and processor seconds and the
# lowest peak KiB of its runs.
declare -A wall cpu memory
run() {
    local name=$1 w m user system c
    shift
    psql -q -X -c 'CHECKPOINT'
    /usr/bin/time -f "%e %M %U %S" -o "$work/$name.time" "$@" > "$work/$name.log" \
        2> "$work/$name.err" || { echo "$name failed:"; tail -n 5 "$work/$name.err"; exit 1; }
    read -r w m user system < "$work/$name.time"
    c=$(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }')
    printf '  %-14s %8.2f s %8.2f s processor %8d KiB\n' "$name" "$w" "$c" "$m"
    if [[ -z ${wall[$name]:-} ]] || awk -v a="$w" -v b="${wall[$name]}" 'BEGIN { exit !(a < b) }'; then
        wall[$name]=$w
    fi
    if [[ -z ${cpu[$name]:-} ]] || awk -v a="$c" -v b="${cpu[$name]}" 'BEGIN { exit !(a < b) }'; then
        cpu[$name]=$c
    fi
    if [[ -z ${memory[$name]:-} ]] || (( m < memory[$name] )); then
        memory[$name]=$m
    fi
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

for shp in "${inputs[@]}"; do cat "$shp" "${shp%.shp}.shx" "${shp%.shp}.dbf"; done > /dev/null
echo "${#inputs[@]} files, $((${#inputs[@]} * 5000)) polygons, $rounds rounds"
for round in $(seq "$rounds"); do
    echo "round $round"
    run ours-merge "$build/bin/conflux" merge "$work/inputs" --kind polygon --pg "$conninfo" \
        --class ours_merge --yes
    psql -q -X -c 'DROP TABLE IF EXISTS ogr'
    run ogrmerge "$python" /usr/bin/ogrmerge.py -single -update -o "PG:$conninfo" -nln ogr \
        -lco SPATIAL_INDEX=GIST "${inputs[@]}"
done
echo "once"
run ours-quarter "$build/bin/conflux" merge "$work/quarter" --kind polygon --pg "$conninfo" \
    --class ours_quarter --yes
# The writer fed through GDAL, and the writer and server alone on features prebuilt in memory.
run writer-gdal "$bench" load "$conninfo" ours_binary "${inputs[@]}"
run writer-alone "$bench" synthetic "$conninfo" synthetic_binary "$((${#inputs[@]} * 5000))"

echo
echo "best of $rounds: ours-merge wall $(ratio "${wall[ours-merge]}" "${wall[ogrmerge]}")x ogrmerge" \
     "(target <= 0.5), processor $(ratio "${cpu[ours-merge]}" "${cpu[ogrmerge]}")x," \
     "peak memory $(ratio "${memory[ours-merge]}" "${memory[ogrmerge]}")x" \
     "(${memory[ours-merge]} vs ${memory[ogrmerge]} KiB; a quarter of the files:" \
     "${memory[ours-quarter]} KiB)"
echo
psql -X -A -t -c "SELECT 'rows: ours ' || (SELECT count(*) FROM ours_merge) || ', ogrmerge ' ||
                         (SELECT count(*) FROM ogr)"
psql -X -A -t -c "SELECT 'same geometries: ' || count(*) FROM ours_merge o JOIN ogr g
                  ON g.ogc_fid = o.fid WHERE ST_AsBinary(ST_Multi(g.wkb_geometry)) = ST_AsBinary(o.geom)"
psql -X -A -t -c "SELECT 'same text: ' || count(*) FROM ours_merge o JOIN ogr g
                  ON g.ogc_fid = o.fid WHERE o.name = g.name"
