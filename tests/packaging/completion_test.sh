#!/usr/bin/env bash
# Completes partial quillpadctl command lines with the bash completion (driven as bash
# does: COMP_WORDS, COMP_CWORD, COMP_LINE, then the completion function) and with fish's,
# and checks the candidates offered; checks the zsh completion's syntax.
# Usage: completion_test.sh BASH_COMPLETION COMPLETION_DIR QUILLPADCTL [FISH] [ZSH]
set -uo pipefail
bash_completion=$1 dir=$2 program=$3 fish=${4:-} zsh=${5:-}
failures=0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/folder"
touch "$work/backup.bin" "$work/my.profile"
cd "$work"
PATH=$(dirname "$program"):$PATH

# shellcheck disable=SC1090
source "$bash_completion"
# shellcheck disable=SC1090
source "$dir/quillpadctl.bash"

# expect "CANDIDATES" WORD... : the words as bash splits the line ("=" is a word of its
# own), the last one being completed; candidates in any order, one a line.
expect() {
    local want=$1
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_LINE=${COMP_LINE// = /=}
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _quillpadctl quillpadctl "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort)
    if [ "$got" != "$(sort <<<"$want")" ]; then
        echo "bash: '$COMP_LINE' offers:"$'\n'"$got"$'\n'"expected:"$'\n'"$want" >&2
        failures=$((failures + 1))
    fi
}

expect "$(printf '%s\n' list show set dump restore save load descriptor keys help)" quillpadctl ""
expect "$(printf '%s\n' save set show)" quillpadctl s
expect "$(printf '%s\n' 1 2 3 4 5 6)" quillpadctl --device 1 set ""
expect "$(printf '%s\n' 1 2 3 4 5 6)" quillpadctl set 4 --vk 0x74 ""
expect "$(printf '%s\n' 1 2 3 4 5 6)" quillpadctl set 3 F5 ""
expect "$(printf '%s\n' F1 F10 F11 F12)" quillpadctl set 3 F1
expect "$(printf '%s\n' Null Numlock)" quillpadctl set 4 --vk 0x74 5 Nu
expect 'Ctrl+Mouse\ Left' quillpadctl set 3 'Ctrl+Mouse\ L'
expect "$(printf '%s\n' 'Keypad\ \*' 'Keypad\ -' 'Keypad\ +')" quillpadctl set 3 'Keypad\ '
expect "$(printf '%s\n' 'Keypad *' 'Keypad -' 'Keypad +')" quillpadctl set 3 '"Keypad'
# Key names follow --layout: "#" is a key of the German layout, not a US name.
expect 'Ctrl+#' quillpadctl --layout de set 3 'Ctrl+#'
expect "" quillpadctl set 3 'Ctrl+#'
expect "$(printf '%s\n' backup.bin folder my.profile)" quillpadctl restore ""
expect "$(printf '%s\n' backup.bin folder my.profile)" quillpadctl --simulate = ""
expect "$(printf '%s\n' backup.bin folder my.profile)" quillpadctl dump -o ""
expect "" quillpadctl restore backup.bin ""
expect "$(printf '%s\n' --device --wait --simulate --layout --help --version --json)" quillpadctl show --

# fish: the same kinds of lines through its own completion machinery.
fish_expect() {
    local want=$1 line=$2 got
    got=$("$fish" --no-config -c "source '$dir/quillpadctl.fish'; complete -C '$line'" |
        cut -f1 | sort)
    if [ "$got" != "$(sort <<<"$want")" ]; then
        echo "fish: '$line' offers:"$'\n'"$got"$'\n'"expected:"$'\n'"$want" >&2
        failures=$((failures + 1))
    fi
}
if [ -n "$fish" ]; then
    fish_expect "$(printf '%s\n' save set show)" "quillpadctl s"
    fish_expect "$(printf '%s\n' 1 2 3 4 5 6)" "quillpadctl set 3 F5 "
    fish_expect "$(printf '%s\n' F1 F10 F11 F12)" "quillpadctl set 3 F1"
    fish_expect "Ctrl+Mouse Left" "quillpadctl set 3 Ctrl+Mouse\\ L"
    fish_expect "Ctrl+#" "quillpadctl --layout de set 3 Ctrl+\\#"
    fish_expect "$(printf '%s\n' backup.bin folder/ my.profile)" "quillpadctl load "
fi

if [ -n "$zsh" ]; then
    "$zsh" -n "$dir/_quillpadctl" || failures=$((failures + 1))
fi

[ "$failures" -eq 0 ] || { echo "completion_test: $failures failed" >&2; exit 1; }
echo "completion_test: passed"
