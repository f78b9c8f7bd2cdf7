# bash completion for skarn-mousectl: commands, options, and the names the
# running program knows (profiles), asked for without starting it.

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
        COMPREPLY=($(compgen -W "status profile dpi rate light show quit" -- "$cur"))
        return
    fi
    # Only the first word after the command has names to offer.
    ((COMP_CWORD == at + 1)) || return
    case $cmd in
        profile)
            local IFS=$'\n' names
            names=$(skarn-mousectl --no-start "${program[@]}" profile list 2>/dev/null |
                sed 's/^. [0-9]* //')
            COMPREPLY=($(compgen -W "list"$'\n'"$names" -- "$cur")) ;;
        dpi) COMPREPLY=($(compgen -W "stage set" -- "$cur")) ;;
        rate) COMPREPLY=($(compgen -W "125 250 500 1000" -- "$cur")) ;;
        light)
            COMPREPLY=($(compgen -W "static breath neon off twinkling wave gliding
                finger-moving vertical-flipping yo-yo spotlight breath-loop" -- "$cur")) ;;
    esac
}
complete -F _skarn_mousectl skarn-mousectl
