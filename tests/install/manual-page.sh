#!/usr/bin/env bash
# The manual page renders without warnings and lists what --help lists: per command the same
# options, and the same exit statuses; and it mentions no option the program does not know.
# Usage: manual-page.sh MANUAL_PAGE CONFLUX_EXECUTABLE
source "$(dirname "$0")/common.sh"
page=$1 conflux=$2

export LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80
man --nj --warnings -E UTF-8 -l "$page" >"$scratch/page.txt" 2>"$scratch/warnings.txt" || fail "man -l failed"
expect "warnings of man -l" "" "$(cat "$scratch/warnings.txt")"

# Text of a top-level section, or of a command's sub-section, of the rendered page.
section() {
    awk -v name="$1" '
        /^[A-Z]/ || /^   [^ ]/ { inside = ($0 == name || $0 == "   " name) ; next }
        inside' "$scratch/page.txt"
}

# The lists of arguments, in order: "  --kind K   ..." in the help, a tag at the page's indent
# followed by its placeholder, the end of the line or the gap before its text (the page is
# rendered unjustified, so running text has no such gaps).
for command in scan merge; do
    expect "arguments of $command" \
        "$("$conflux" help "$command" | grep -oE '^  [-A-Z][-a-zA-Z]*' | tr -d ' ' | tr '\n' ' ')" \
        "$(section "conflux $command" | grep -E '^       (--[a-z][a-z-]*|[A-Z]+)( [A-Z]+)?( {2,}|$)' |
            grep -oE '^       [-A-Z][-a-zA-Z]*' | tr -d ' ' | tr '\n' ' ')"
done
all_help=$( { "$conflux" --help; "$conflux" help scan; "$conflux" help merge; } | options_in)
expect "options anywhere in the page" "$all_help" "$(options_in <"$scratch/page.txt")"

expect "exit statuses" \
    "$("$conflux" --help | sed -n '/^Exit status:/,$p' | grep -oE '^  [0-9]+' | tr -d ' ' | tr '\n' ' ')" \
    "$(section "EXIT STATUS" | grep -oE '^       [0-9]+' | tr -d ' ' | tr '\n' ' ')"
grep -q '^SYNOPSIS' "$scratch/page.txt" || fail "no SYNOPSIS"
for heading in MASKS "OUTPUT FORMATS" EXAMPLES; do
    grep -q "^$heading" "$scratch/page.txt" || fail "no $heading section"
done

finish
