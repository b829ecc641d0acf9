# fish completion for quillpadctl

# The command given so far, or nothing.
function __quillpadctl_command
    set -l words (commandline -opc)
    set -e words[1]
    while set -q words[1]
        switch $words[1]
            case --device --wait --simulate --layout -o --output --vk --modifiers --mouse
                set -e words[1]
            case '-*'
            case '*'
                echo $words[1]
                return 0
        end
        set -e words[1]
    end
    return 1
end

# True when the word being typed after "set" is an assignment, not a key number.
function __quillpadctl_wants_assignment
    set -l words (commandline -opc)
    set -l seen_set 0
    set -l expect key
    set -l skip 0
    for word in $words[2..-1]
        if test $skip -eq 1
            set skip 0
            continue
        end
        switch $word
            case --device --wait --simulate --layout -o --output
                set skip 1
            case --vk --modifiers --mouse
                set skip 1
                set expect key
            case '-*'
            case '*'
                if test $seen_set -eq 0
                    test $word = set; and set seen_set 1; or return 1
                else if test $expect = assignment
                    set expect key
                else
                    set expect assignment
                end
        end
    end
    test $seen_set -eq 1; and test $expect = assignment
end

# Modifiers, mouse buttons and Null, then every key name the program lists with "keys"
# (named after the --layout given, if any), each after what the current word holds up to
# its last "+".
function __quillpadctl_names
    set -l token (commandline -ct)
    set -l head (string match -r '^.*\+' -- $token)
    set -l words (commandline -opc)
    set -l program $words[1]
    set -l layout
    set -l i (contains -i -- --layout $words)
    and set -q words[(math $i + 1)]
    and set layout --layout $words[(math $i + 1)]
    for name in Shift Alt Ctrl Windows Win 'Right Ctrl' 'Right Shift' 'Right Alt' \
            'Right Windows' 'Mouse Left' 'Mouse Middle' 'Mouse Right' 'Mouse 4' 'Mouse 5' \
            'Mouse 6' 'Mouse 7' 'Mouse 8' Null
        echo "$head$name"
    end
    set -l keys ($program $layout keys 2>/dev/null)
    set -q keys[1]; or set keys ($program keys 2>/dev/null)
    printf '%s\n' $keys | string replace -r '\t.*' '' | string replace -r '^' "$head"
end

function __quillpadctl_layouts
    set -l rules /usr/share/X11/xkb/rules/base.lst
    test -r $rules; or return
    sed -n '/^! layout/,/^$/{/^  /s/^  *\([^ ]*\).*/\1/p}' $rules
end

set -l commands list show set dump restore save load descriptor keys help
complete -c quillpadctl -f
complete -c quillpadctl -n "not __quillpadctl_command" -a list -d 'keypads found'
complete -c quillpadctl -n "not __quillpadctl_command" -a show -d 'the six keys'
complete -c quillpadctl -n "not __quillpadctl_command" -a set -d 'change keys'
complete -c quillpadctl -n "not __quillpadctl_command" -a dump -d 'raw 256-byte block'
complete -c quillpadctl -n "not __quillpadctl_command" -a restore -d 'write a raw block'
complete -c quillpadctl -n "not __quillpadctl_command" -a save -d 'write a profile'
complete -c quillpadctl -n "not __quillpadctl_command" -a load -d 'load a profile'
complete -c quillpadctl -n "not __quillpadctl_command" -a descriptor -d 'explain a HID report descriptor'
complete -c quillpadctl -n "not __quillpadctl_command" -a keys -d 'every key name'
complete -c quillpadctl -n "not __quillpadctl_command" -a help -d 'help on a command'
complete -c quillpadctl -n "__fish_seen_subcommand_from help" -a "$commands"
complete -c quillpadctl -n "__fish_seen_subcommand_from restore save load descriptor" -F
complete -c quillpadctl -n "__fish_seen_subcommand_from set; and not __quillpadctl_wants_assignment" -a "1 2 3 4 5 6"
complete -c quillpadctl -n "__quillpadctl_wants_assignment" -a "(__quillpadctl_names)"

complete -c quillpadctl -l device -x -d 'use the keypad in slot N'
complete -c quillpadctl -l wait -x -d 'wait at most SECONDS for the keypad'
complete -c quillpadctl -l simulate -r -F -d 'simulated keypad kept in FILE'
complete -c quillpadctl -l layout -x -a "(__quillpadctl_layouts)" -d 'name keys as this XKB layout'
complete -c quillpadctl -s h -l help -d 'show help and stop'
complete -c quillpadctl -l version -d 'show the version and stop'
complete -c quillpadctl -n "__fish_seen_subcommand_from set restore load" -l verify -d 'read back and compare'
complete -c quillpadctl -n "__fish_seen_subcommand_from show descriptor keys" -l json -d 'print JSON'
complete -c quillpadctl -n "__fish_seen_subcommand_from dump" -s o -r -F -d 'write the block into FILE'
complete -c quillpadctl -n "__fish_seen_subcommand_from set" -l vk -x -d 'raw virtual key'
complete -c quillpadctl -n "__fish_seen_subcommand_from set" -l modifiers -x -d 'raw modifier byte'
complete -c quillpadctl -n "__fish_seen_subcommand_from set" -l mouse -x -d 'raw mouse button byte'
