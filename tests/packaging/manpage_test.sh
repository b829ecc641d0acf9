#!/usr/bin/env bash
# Compares a program's manual page with its --help: the commands the page describes and the
# options its synopsis and item lines name must be those the help lists.
# Usage: manpage_test.sh PROGRAM PAGE.scd
set -uo pipefail
program=$1 page=$2
options='(^|[^[:alnum:]-])\K--?[a-z][a-z-]*'

help=$("$program" --help) || { echo "manpage_test: $program --help failed" >&2; exit 1; }
# Commands: the first word of each item under "Commands:"; options: those named in the
# usage line and the indented item lines.
help_commands=$(sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z]*\).*/\1/p' <<<"$help" | sort -u)
help_options=$(grep -E '^(Usage:| )' <<<"$help" | grep -oP "$options" | sort -u)

# The page (scdoc): items are lines starting with a bold word; commands are the items of
# the COMMANDS section.
page_commands=$(sed -n '/^# COMMANDS/,/^# /s/^\*\([a-z][a-z]*\)\*.*/\1/p' "$page" | sort -u)
page_options=$(grep '^\*' "$page" | sed 's/\*//g' | grep -oP "$options" | sort -u)

status=0
compare() {
    if [ "$2" != "$3" ]; then
        echo "manpage_test: $(basename "$page") and $(basename "$program") --help list other $1:" >&2
        diff <(echo "$3") <(echo "$2") | sed -n 's/^</  only in --help:/p; s/^>/  only in the page:/p' >&2
        status=1
    fi
}
compare commands "$page_commands" "$help_commands"
compare options "$page_options" "$help_options"
[ "$status" -eq 0 ] && echo "manpage_test: $(basename "$page") matches --help"
exit "$status"
