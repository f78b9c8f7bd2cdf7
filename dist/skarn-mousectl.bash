# bash completion for skarn-mousectl: commands, options, and the names the
# running program knows (profiles, macros), asked for without starting it.

_skarn_mousectl_names() {
    skarn-mousectl --no-start "$@" 2>/dev/null
}

_skarn_mousectl() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local program=() i cmd= at=0
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --program) program=(--program "${COMP_WORDS[i+1]}"); ((i++)) ;;
            --speed|--brightness|--colour|--color) ((i++)) ;;
            -*) ;;
            *) if [[ -z $cmd ]]; then cmd=${COMP_WORDS[i]}; at=$i; fi ;;
        esac
    done

    case $prev in
        --program) COMPREPLY=($(compgen -f -- "$cur")); return ;;
        --speed|--brightness) COMPREPLY=($(compgen -W "0 1 2 3 4" -- "$cur")); return ;;
        --colour|--color) COMPREPLY=($(compgen -W "1= 2= 3= 4= 5= 6= 7= 8=" -- "$cur"))
            compopt -o nospace 2>/dev/null; return ;;
    esac

    if [[ $cur == -* ]]; then
        local options="--json --no-start --program --help --version"
        [[ $cmd == light ]] && options+=" --speed --brightness --colour"
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    if [[ -z $cmd ]]; then
        COMPREPLY=($(compgen -W "status profile dpi rate light button macro show quit" \
            -- "$cur"))
        return
    fi
    # Names may hold spaces: those lists go one name a line.
    local names
    # The second word after button and macro export names a function or macro.
    if ((COMP_CWORD == at + 2)); then
        case $cmd in
            button)
                local IFS=$'\n'
                names=$(_skarn_mousectl_names "${program[@]}" macro list)
                COMPREPLY=($(compgen -W "reset"$'\n'"left-key"$'\n'"right-key"$'\n'"middle-key
forward-key"$'\n'"back-key"$'\n'"double-fire"$'\n'"dpi+"$'\n'"dpi-"$'\n'"dpi-loop
play/pause"$'\n'"next"$'\n'"privous"$'\n'"stop"$'\n'"mute"$'\n'"volumn+"$'\n'"volumn-
copy"$'\n'"paste"$'\n'"cut"$'\n'"undo"$'\n'"redo"$'\n'"$names" -- "$cur")) ;;
            macro)
                local IFS=$'\n'
                [[ ${COMP_WORDS[at+1]} == export ]] &&
                    names=$(_skarn_mousectl_names "${program[@]}" macro list) &&
                    COMPREPLY=($(compgen -W "$names" -- "$cur")) ;;
        esac
        return
    fi
    # Otherwise only the first word after the command has names to offer.
    ((COMP_CWORD == at + 1)) || return
    case $cmd in
        profile)
            local IFS=$'\n'
            names=$(_skarn_mousectl_names "${program[@]}" profile list | sed 's/^. [0-9]* //')
            COMPREPLY=($(compgen -W "list"$'\n'"export"$'\n'"import"$'\n'"$names" -- "$cur")) ;;
        macro) COMPREPLY=($(compgen -W "list export import" -- "$cur")) ;;
        dpi) COMPREPLY=($(compgen -W "stage set" -- "$cur")) ;;
        rate) COMPREPLY=($(compgen -W "125 250 500 1000" -- "$cur")) ;;
        light)
            COMPREPLY=($(compgen -W "static breath neon off twinkling wave gliding
                finger-moving vertical-flipping yo-yo spotlight breath-loop" -- "$cur")) ;;
    esac
}
complete -F _skarn_mousectl skarn-mousectl
