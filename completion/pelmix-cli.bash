# bash completion for pelmix-cli: commands, each command's options, genre names after
# --genre, code pages after --encoding, files elsewhere. Needs nothing but bash itself.

_pelmix_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=""
    [ "$COMP_CWORD" -gt 0 ] && prev=${COMP_WORDS[COMP_CWORD-1]}
    local common="--encoding --genres --help --version"
    local command="" word
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        case $word in
            show|stamp|strip|genres|help) command=$word; break ;;
        esac
    done

    case $prev in
        --encoding)
            COMPREPLY=($(compgen -W "windows-1252 windows-1250 windows-1251 iso-8859-1" -- "$cur"))
            return ;;
        --genres)
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
        -g|--genre)
            local IFS=$'\n'
            COMPREPLY=($(compgen -W "$(pelmix-cli genres 2>/dev/null | sed 's/^ *[0-9]* //')" -- "$cur"))
            return ;;
        --increment)
            COMPREPLY=($(compgen -W "track title artist album comment" -- "$cur"))
            return ;;
        -t|--title|-a|--artist|-A|--album|-y|--year|-c|--comment|-T|--track|--from-name)
            return ;;
    esac

    local options
    case $command in
        show) options="--oneline --json --recursive $common" ;;
        stamp) options="--title --artist --album --year --comment --track --genre --increment
                        --keep-order --from-name --any-extension --keep-times --dry-run
                        --recursive --quiet --json $common" ;;
        strip) options="--any-extension --keep-times --dry-run --recursive --quiet --json $common" ;;
        genres) options=$common ;;
        help) COMPREPLY=($(compgen -W "show stamp strip genres" -- "$cur")); return ;;
        *) COMPREPLY=($(compgen -W "show stamp strip genres help $common" -- "$cur")); return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    elif [ "$command" != genres ]; then
        local IFS=$'\n'
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}

complete -o filenames -o bashdefault -F _pelmix_cli pelmix-cli
