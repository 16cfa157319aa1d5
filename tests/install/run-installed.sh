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
