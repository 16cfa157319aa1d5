# Sourced by the install tests: a scratch folder removed on exit, and checks that report every
# failure before the test fails.
set -uo pipefail

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# expect NAME EXPECTED ACTUAL
expect() {
    if [[ $2 != "$3" ]]; then
        fail "$1"$'\n'"  expected: $2"$'\n'"  actual:   $3"
    fi
}

finish() {
    if ((failures > 0)); then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
}

# The options ("--name") a text mentions, sorted, one line.
options_in() {
    grep -oE -- '(^|[^[:alnum:]-])--[a-z][a-z-]*' | grep -oE -- '--[a-z][a-z-]*' | sort -u | tr '\n' ' '
}
