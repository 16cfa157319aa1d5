#!/usr/bin/env bash
# Times loading the benchmark dataset (polygon shapefiles of 5,000 features, Cyrillic CP1251
# text) into a PostGIS table, side by side with ogrmerge.py -single (GDAL's PostgreSQL driver,
# which loads with COPY) into the same server, and reports wall time and peak memory as ratios.
# The server is a throwaway cluster in bench/data/pg (Unix socket only, no TCP port), stopped
# and deleted when the script ends; it runs as the postgres user when the script runs as root.
# Usage: bench/postgis-bench.sh BUILD_DIR [FILES]   (FILES of the 200 generated, default 40;
#        a Release build is the one to measure)
set -euo pipefail

build=$(cd "${1:?usage: $0 BUILD_DIR [FILES]}" && pwd)
files=${2:-40}
here=$(cd "$(dirname "$0")" && pwd)
data="$here/data"
work="$data/pg-out"
cluster="$data/pg"
bindir=/usr/lib/postgresql/15/bin
bench="$build/bin/conflux_postgis_load"
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

# run NAME COMMAND...: times one command; records wall seconds and peak KiB.
declare -A wall memory
run() {
    local name=$1
    shift
    psql -q -X -c 'CHECKPOINT'
    /usr/bin/time -f "%e %M" -o "$work/$name.time" "$@" > "$work/$name.log" 2> "$work/$name.err"
    read -r wall[$name] memory[$name] < "$work/$name.time"
    printf '%-14s %8.2f s %8d KiB\n' "$name" "${wall[$name]}" "${memory[$name]}"
}

cat "$data"/*.shp "$data"/*.shx "$data"/*.dbf > /dev/null  # warm the cache
echo "${#inputs[@]} files, $((${#inputs[@]} * 5000)) polygons"
# The merge itself, once the command line writes PostGIS.
if "$build/bin/conflux" merge --help 2>&1 | grep -q -- '--pg'; then
    run ours-merge "$build/bin/conflux" merge "$work/inputs" --kind polygon --pg "$conninfo" \
        --class ours_merge --yes
fi
# The writer fed through GDAL (binary and text COPY), GDAL's reading alone, and the writer and
# server alone on features prebuilt in memory.
run read-gdal "$bench" read "${inputs[@]}"
run ours-binary "$bench" load binary "$conninfo" ours_binary "${inputs[@]}"
run ours-text "$bench" load text "$conninfo" ours_text "${inputs[@]}"
run synthetic-bin "$bench" synthetic binary "$conninfo" synthetic_binary "$((${#inputs[@]} * 5000))"
run synthetic-txt "$bench" synthetic text "$conninfo" synthetic_text "$((${#inputs[@]} * 5000))"
run ogrmerge "$python" /usr/bin/ogrmerge.py -single -update -o "PG:$conninfo" -nln ogr \
    -lco SPATIAL_INDEX=GIST "${inputs[@]}"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
echo
for ours in ours-merge ours-binary ours-text; do
    [[ -n ${wall[$ours]:-} ]] || continue
    echo "$ours: wall $(ratio "${wall[$ours]}" "${wall[ogrmerge]}")x ogrmerge (target <= 0.5)," \
         "memory $(ratio "${memory[$ours]}" "${memory[ogrmerge]}")x ogrmerge"
done
echo
psql -X -A -t -c "SELECT 'rows: ours ' || (SELECT count(*) FROM ours_binary) || ', ogrmerge ' ||
                         (SELECT count(*) FROM ogr)"
psql -X -A -t -c "SELECT 'same geometries: ' || count(*) FROM ours_binary o JOIN ogr g
                  ON g.ogc_fid = o.fid WHERE ST_Equals(o.geom, g.wkb_geometry)
                  AND ST_AsBinary(ST_Multi(g.wkb_geometry)) = ST_AsBinary(o.geom)"
