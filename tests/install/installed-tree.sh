#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR, then runs the installed program with the build
# and source folders out of reach: both commands on generated map sheets, and the desktop,
# which must find its command library. Also checks the installed files and their validators.
# Usage: installed-tree.sh BUILD_DIR SOURCE_DIR SAMPLE_SHEETS_EXECUTABLE VERSION
source "$(dirname "$0")/common.sh"
build=$(realpath "$1") source=$(realpath "$2") sample_sheets=$3 version=$4

root=$scratch/root
prefix=$root/usr
if ! DESTDIR=$root cmake --install "$build" --prefix /usr >"$scratch/install.log" 2>&1; then
    cat "$scratch/install.log" >&2
    fail "cmake --install"
    finish
fi

# Exactly these files, nothing more (the library's folder depends on the configured libdir).
library=$(cd "$prefix" && find . -name libConflux2_v9.so | sed 's|^\./||')
expected=$(printf '%s\n' bin/conflux "$library" \
    share/applications/org.orvantis.conflux.desktop \
    share/metainfo/org.orvantis.conflux.metainfo.xml \
    share/icons/hicolor/scalable/apps/conflux.svg \
    share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/conflux.png \
    share/man/man1/conflux.1.gz share/bash-completion/completions/conflux \
    share/doc/conflux/copyright share/doc/conflux/changelog.gz \
    share/qgis/python/plugins/conflux/{__init__,destination,merge,parameters,plugin,provider,runner,scan}.py \
    share/qgis/python/plugins/conflux/{metadata.txt,icon.png} \
    share/doc/qgis-plugin-conflux/copyright share/doc/qgis-plugin-conflux/changelog.gz | sort)
expect "installed files" "$expected" "$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)"
[[ $library == lib*/conflux/libConflux2_v9.so ]] || fail "library outside a private folder of libdir: $library"

# The executable reaches the library relative to itself; nothing points at the build.
runpath=$(readelf -d "$prefix/bin/conflux" | grep -oE '(RUNPATH|RPATH).*\[.*\]' | sed 's/.*\[\(.*\)\]/\1/')
expect "run path of conflux" "\$ORIGIN/$(realpath -m --relative-to=/usr/bin "/usr/$(dirname "$library")")" "$runpath"
if readelf -d "$prefix/$library" | grep -qE 'RUNPATH|RPATH'; then
    fail "the library has a run path: $(readelf -d "$prefix/$library" | grep -E 'RUNPATH|RPATH')"
fi

desktop-file-validate "$prefix/share/applications/org.orvantis.conflux.desktop" >"$scratch/desktop.log" 2>&1 ||
    fail "desktop-file-validate: $(cat "$scratch/desktop.log")"
grep -q '^Exec=conflux$' "$prefix/share/applications/org.orvantis.conflux.desktop" || fail "Exec line"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.orvantis.conflux.metainfo.xml" \
    >"$scratch/appstream.log" 2>&1 || fail "appstreamcli validate: $(cat "$scratch/appstream.log")"
if grep -qE '^[EWIP]: ' "$scratch/appstream.log"; then
    fail "appstreamcli has remarks: $(cat "$scratch/appstream.log")"
fi
for screenshot in $(grep -oE '[a-z]+\.png</image>' "$prefix/share/metainfo/org.orvantis.conflux.metainfo.xml" | sed 's|</image>||'); do
    [[ -f $source/docs/$screenshot ]] || fail "screenshot $screenshot is not in docs/"
done

# Map sheets to work on, generated while the build is still reachable.
"$sample_sheets" "$scratch/sheets" >/dev/null || fail "generating the sample sheets"
mkdir -p "$scratch/out"
cp "$(dirname "$0")/run-installed.sh" "$scratch/"

# Out of reach: an empty folder mounted over the build and the source, in a mount namespace of
# this test alone. Without user namespaces the program runs with them in place, and only the
# run path and the library path it reports show that it does not use them.
hidden=(bash "$scratch/run-installed.sh" "$prefix" "$scratch/sheets" "$scratch/out")
mkdir "$scratch/probe"
if unshare --user --map-root-user --mount mount -t tmpfs tmpfs "$scratch/probe" 2>/dev/null; then
    unshare --user --map-root-user --mount bash -c \
        'mount -t tmpfs tmpfs "$1" && mount -t tmpfs tmpfs "$2" && shift 2 && exec "$@"' \
        hide "$build" "$source" "${hidden[@]}"
else
    echo "note: no mount namespace of its own here; the build folder stays reachable" >&2
    "${hidden[@]}"
fi
out=$scratch/out

expect "version" "conflux $version" "$(head -n 1 "$out/version.txt")"
expect "version names the libraries" "GDAL Qt SQLite" "$(tail -n +2 "$out/version.txt" | cut -d' ' -f1 | tr '\n' ' ' | sed 's/ $//')"
expect "scan status" 0 "$(cat "$out/scan.status")"
expect "scan rows" 12 "$(wc -l <"$out/scan.txt")"
expect "scan result" "Выбрано: 12 файл(ов)" "$(cat "$out/scan.err")"
expect "merge status" 0 "$(cat "$out/merge.status")"
expect "merge summary" "Merge success!!!" "$(head -n 1 "$out/merge.txt")"
merged=$(sed -n 's/^new Feature count //p' "$out/merge.txt")
expect "records of the merged shapefile, read by pyshp" "$merged" \
    "$(/usr/bin/python3 -c 'import shapefile, sys; print(len(shapefile.Reader(sys.argv[1])))' "$out/roads.shp" 2>&1)"
if [[ -f $out/qgis.status ]]; then
    expect "qgis_process run conflux:merge status" 0 "$(cat "$out/qgis.status")"
    for extension in shp shx dbf prj cpg; do
        cmp -s "$out/roads.$extension" "$out/qgis/roads.$extension" ||
            fail "the plugin's roads.$extension is not the command line's: $(tail -n 5 "$out/qgis.txt")"
    done
fi
expect "the desktop loads the installed library" \
    "conflux.host: loaded $(realpath "$prefix/$library")" "$(grep 'conflux.host' "$out/host.err")"

finish
