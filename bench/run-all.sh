#!/bin/sh
# Runs every benchmark executable (*_bench) found in BUILD_DIR; exits non-zero if any fails.
# A program that a script drives with the arguments and data it needs is left to that script
# (named in the output) and not counted as a failure.
set -u
if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi

# The script that drives a program, or nothing for a program that runs on its own.
driver_of() {
    case "$1" in
        conflux_merge_bench) echo "bench/merge-bench.sh BUILD_DIR" ;;
        scan_dialog_bench) echo "scan_bench (in BUILD_DIR's bin/)" ;;
        *) echo "" ;;
    esac
}

status=0
found=0
for bench in $(find "$1" -type f -name '*_bench' -perm -u+x | sort); do
    found=1
    name=$(basename "$bench")
    driver=$(driver_of "$name")
    if [ -n "$driver" ]; then
        echo "== $name: skipped, run by $driver"
        continue
    fi
    echo "== $name"
    QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "$bench" || status=1
done
if [ "$found" -eq 0 ]; then
    echo "no benchmarks found in $1" >&2
    exit 2
fi
exit $status
