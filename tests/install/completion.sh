#!/usr/bin/env bash
# Bash completion of conflux, case by case, in a folder with a sub-folder (its name holding a
# blank) and a file; and every option of each command's --help completes.
# Usage: completion.sh COMPLETION_SCRIPT CONFLUX_EXECUTABLE
source "$(dirname "$0")/common.sh"
completion=$(realpath "$1") conflux=$(realpath "$2")

# shellcheck source=/dev/null
source "$completion"
mkdir -p "$scratch/maps/sheet one"
touch "$scratch/maps/base.gpkg"
cd "$scratch" || exit 1

# Completes the last of the words, as bash does after "conflux ...<TAB>".
complete_words() {
    COMP_WORDS=(conflux "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _conflux
    if ((${#COMPREPLY[@]} > 0)); then
        printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
    fi
}

while IFS='|' read -r name expected words; do
    # shellcheck disable=SC2086  # the words column is split on purpose
    eval "set -- $words"
    expect "$name" "$expected" "$(complete_words "$@")"
done <<'TABLE'
commands and global options|--help --version merge scan |''
a command by its first letter|merge |m
scan's root is a folder|maps |scan ''
folders inside the root|maps/sheet one |scan maps/
scan's options after the root|--depth --dir-mask --file-mask --help |scan maps --
options once the root is given|--depth --dir-mask --file-mask --help |scan maps ''
the root after an option's argument|maps |scan --depth 3 ''
kinds|line point polygon |merge maps --kind ''
kinds by prefix|point polygon |merge maps --kind p
output folder|maps/sheet one |merge maps --out maps/
geodatabase file|maps/base.gpkg maps/sheet one |merge maps --gdb maps/
field source|maps/base.gpkg maps/sheet one |merge maps --source maps/
a name is free text||merge maps --name ''
a mask is free text||merge maps --mask ''
merge's flag|--yes |merge maps --y
an unknown command||frobnicate ''
TABLE

for command in scan merge; do
    offered=$(complete_words "$command" maps --)
    for option in $("$conflux" help "$command" | grep -oE '^  --[a-z][a-z-]*'); do
        [[ " $offered" == *" $option "* ]] || fail "$command: $option is not completed"
    done
done

finish
