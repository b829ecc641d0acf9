# bash completion for quillpadctl                          -*- shell-script -*-

# The names an assignment is made of: modifiers, mouse buttons and Null, then every key
# name the program accepts ("keys" lists them; a program without it adds none).
_quillpadctl_names()
{
    local program=$1 layout=$2
    printf '%s\n' Shift Alt Ctrl Windows Win "Right Ctrl" "Right Shift" "Right Alt" \
        "Right Windows" "Mouse Left" "Mouse Middle" "Mouse Right" "Mouse 4" "Mouse 5" \
        "Mouse 6" "Mouse 7" "Mouse 8" Null
    local keys=""
    [[ $layout ]] && keys=$("$program" --layout "$layout" keys 2>/dev/null)
    [[ $keys ]] || keys=$("$program" keys 2>/dev/null)
    [[ $keys ]] && printf '%s\n' "$keys" | cut -f1
}

# Completes the assignment in cur: names joined by "+", the last one partly typed.
_quillpadctl_assignment()
{
    local quote="" text=$cur
    case $cur in
        \"* | \'*) quote=${cur:0:1} text=${cur:1} ;;
        *) text=$(dequote "$cur") ;;
    esac
    local head=""
    [[ $text == *+* ]] && head=${text%+*}+
    local name candidate
    while IFS= read -r name; do
        candidate=$head$name
        [[ $candidate == "$text"* ]] || continue
        # Inside quotes readline inserts the text as it is; outside, blanks and
        # characters such as * and ; need a backslash.
        [[ $quote ]] || printf -v candidate %q "$candidate"
        COMPREPLY+=("$candidate")
    done < <(_quillpadctl_names "$1" "$2")
}

_quillpadctl()
{
    local cur prev words cword split
    _init_completion -s -n =: || return

    local commands="list show set dump restore save load descriptor keys help"
    case $prev in
        --simulate | -o | --output)
            _filedir
            return
            ;;
        --layout)
            local rules=/usr/share/X11/xkb/rules/base.lst
            [[ -r $rules ]] && COMPREPLY=($(compgen -W "$(sed -n \
                '/^! layout/,/^$/{/^  /s/^  *\([^ ]*\).*/\1/p}' "$rules")" -- "$cur"))
            return
            ;;
        --device | --wait | --vk | --modifiers | --mouse)
            return
            ;;
    esac
    $split && return

    # The command, its arguments so far, and the layout asked for.
    local i command="" layout="" args=()
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --layout) layout=${words[i + 1]} ;;&
            --device | --wait | --simulate | --layout | -o | --output) ((i++)) ;;
            --vk | --modifiers | --mouse) args+=("${words[i]}") && ((i++)) ;;
            -*) ;;
            *) [[ $command ]] && args+=("${words[i]}") || command=${words[i]} ;;
        esac
    done

    if [[ $cur == -* ]]; then
        local options="--device --wait --simulate --layout --help --version"
        case $command in
            show | descriptor | keys) options+=" --json" ;;
            set) options+=" --vk --modifiers --mouse --verify" ;;
            dump) options+=" -o" ;;
            restore | load) options+=" --verify" ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi

    case $command in
        "")
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
            ;;
        help)
            ((${#args[@]} == 0)) && COMPREPLY=($(compgen -W "$commands" -- "$cur"))
            ;;
        restore | save | load | descriptor)
            ((${#args[@]} == 0)) && _filedir
            ;;
        set)
            # KEY ASSIGNMENT pairs; raw fields (--vk N ...) may stand for an assignment.
            local expect=key arg
            for arg in "${args[@]}"; do
                case $arg in
                    --vk | --modifiers | --mouse) expect=key-or-field ;;
                    *) [[ $expect == assignment ]] && expect=key || expect=assignment ;;
                esac
            done
            if [[ $expect == assignment ]]; then
                _quillpadctl_assignment "${words[0]}" "$layout"
            else
                COMPREPLY=($(compgen -W "1 2 3 4 5 6" -- "$cur"))
            fi
            ;;
    esac
} &&
    complete -F _quillpadctl quillpadctl

# ex: filetype=sh
