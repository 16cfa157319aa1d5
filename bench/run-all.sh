#!/bin/sh
# Runs every benchmark executable (*_bench) found in BUILD_DIR; exits non-zero if any fails.
set -u
if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
status=0
found=0
for bench in $(find "$1" -type f -name '*_bench' -perm -u+x | sort); do
    found=1
    echo "== $(basename "$bench")"
    QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "$bench" || status=1
done
if [ "$found" -eq 0 ]; then
    echo "no benchmarks found in $1" >&2
    exit 2
fi
exit $status
