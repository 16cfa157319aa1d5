#!/usr/bin/env bash
# Runs the installed program for installed-tree.sh, where the build and source are out of
# reach, leaving what it printed and its exit statuses in OUT.
# Usage: run-installed.sh PREFIX SHEETS OUT
prefix=$1 sheets=$2 out=$3
conflux=$prefix/bin/conflux

"$conflux" --version >"$out/version.txt" 2>&1
"$conflux" scan "$sheets" --file-mask 'roads*' >"$out/scan.txt" 2>"$out/scan.err"
echo $? >"$out/scan.status"
"$conflux" merge "$sheets" --file-mask 'roads*' --kind line --out "$out" --name roads \
    >"$out/merge.txt" 2>"$out/merge.err"
echo $? >"$out/merge.status"

# The QGIS plugin, as QGIS loads it from the installed tree, finds the program beside itself.
if [[ -x /usr/bin/qgis_process.bin ]]; then
    mkdir -p "$out/qgis"
    export QT_QPA_PLATFORM=offscreen QGIS_CUSTOM_CONFIG_PATH=$out/qgis-profile \
        QGIS_PLUGINPATH=$prefix/share/qgis/python/plugins PYTHONDONTWRITEBYTECODE=1
    unset CONFLUX_EXECUTABLE
    /usr/bin/qgis_process.bin plugins enable conflux >"$out/qgis.txt" 2>&1
    /usr/bin/qgis_process.bin run conflux:merge -- "ROOT=$sheets" 'FILE_MASK=roads*' KIND=line \
        "OUTPUT=$out/qgis/roads.shp" >>"$out/qgis.txt" 2>&1
    echo $? >"$out/qgis.status"
fi

# The desktop reports the library it loaded (or why it could not) once its window is up; a
# failure also opens a message box, so the host is stopped rather than waited for.
QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES=conflux.host.info=true "$conflux" 2>"$out/host.err" &
host=$!
for ((i = 0; i < 600; i++)); do
    grep -q 'conflux.host' "$out/host.err" && break
    kill -0 "$host" 2>/dev/null || break
    sleep 0.1
done
kill "$host" 2>/dev/null
wait "$host" 2>/dev/null
exit 0
