# bash completion for pelmix-cli: commands, each command's options, genre names after
# --genre (in any letter case), code pages after --encoding, comma lists of fields after
# --increment, commands after help, batch ids after undo, files after --genres, --from-csv
# and elsewhere. Needs nothing but bash itself.

# A word as typed, without the quotes or escapes the shell would take off: never eval'd,
# since the line may hold anything.
_pelmix_cli_unquote() {
    local word=$1
    case $word in
        \'*) word=${word#\'}; word=${word%\'} ;;
        \"*) word=${word#\"}; word=${word%\"} ;;
        *) word=${word//\\/} ;;
    esac
    printf '%s' "$word"
}

_pelmix_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev="" option="" prefix=""
    [ "$COMP_CWORD" -gt 0 ] && prev=${COMP_WORDS[COMP_CWORD-1]}
    # A value after "--genre=": bash splits the word at the equals sign when that is a word
    # break (so by default), or hands it over whole when it is not.
    if [[ $cur == = ]]; then
        option=$prev cur=""
    elif [[ $prev == = && $COMP_CWORD -gt 1 ]]; then
        option=${COMP_WORDS[COMP_CWORD-2]}
    elif [[ $cur == --*=* ]]; then
        option=${cur%%=*} prefix=${cur%%=*}= cur=${cur#*=}
    else
        option=$prev
    fi
    cur=$(_pelmix_cli_unquote "$cur")

    # The command, and the genre list and code page given so far; an option's value is no command.
    local common="--encoding --genres --help --version"
    local command="" after_help="" i=1 word list=()
    while [ "$i" -lt "$COMP_CWORD" ]; do
        word=${COMP_WORDS[i]}
        case $word in
            --encoding|--genres|-g|--genre|-t|--title|-a|--artist|-A|--album|-y|--year|-c|--comment|-T|--track|--increment|--from-name|--from-csv|--to)
                i=$((i + 1))
                [ "${COMP_WORDS[i]}" = = ] && i=$((i + 1))
                [ "$i" -lt "$COMP_CWORD" ] || break
                case $word in
                    --encoding|--genres)
                        local value
                        value=$(_pelmix_cli_unquote "${COMP_WORDS[i]}")
                        [[ $value == "~/"* ]] && value=$HOME/${value#"~/"}
                        list+=("$word" "$value") ;;
                esac ;;
            show|stamp|strip|genres|help|undo|rename)
                if [ -z "$command" ]; then command=$word
                elif [ "$command" = help ]; then after_help=$word
                fi ;;
        esac
        i=$((i + 1))
    done

    local name
    case $option in
        --encoding)
            mapfile -t COMPREPLY < <(compgen -P "$prefix" -W "windows-1252 windows-1250 windows-1251 iso-8859-1 utf-8" -- "$cur")
            return ;;
        --genres|--from-csv)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -P "$prefix" -f -- "$cur")
            return ;;
        -g|--genre)
            # Names as the program lists them, matched without regard to letter case, as the
            # program matches them.
            COMPREPLY=()
            local lowered=${cur,,}
            while IFS= read -r name; do
                [[ ${name,,} == "$lowered"* ]] && COMPREPLY+=("$prefix$name")
            done < <(pelmix-cli genres "${list[@]}" 2>/dev/null | sed 's/^ *-\{0,1\}[0-9]* //')
            # Quoted by readline as it quotes file names: "Classic Rock" goes in whole.
            compopt -o filenames 2>/dev/null
            return ;;
        --increment)
            # "track,ti" gives "track,title": the fields not named yet, after the last comma.
            local named=${cur%"${cur##*,}"} last=${cur##*,} field
            COMPREPLY=()
            for field in track title artist album comment; do
                [[ ,$named == *",$field,"* ]] && continue
                [[ $field == "$last"* ]] && COMPREPLY+=("$prefix$named$field")
            done
            return ;;
        -t|--title|-a|--artist|-A|--album|-y|--year|-c|--comment|-T|--track|--from-name|--to)
            COMPREPLY=()
            return ;;
    esac

    local options
    case $command in
        show) options="--oneline --json --csv --recursive $common" ;;
        stamp) options="--title --artist --album --year --comment --track --genre --increment
                        --keep-order --from-name --from-csv --truncate --any-extension --keep-times
                        --dry-run --recursive --quiet --json --no-journal $common" ;;
        strip) options="--any-extension --keep-times --dry-run --recursive --quiet --json --no-journal $common" ;;
        rename) options="--to --dry-run --recursive --quiet --json --no-journal $common" ;;
        undo)
            if [[ $cur == -* ]]; then
                mapfile -t COMPREPLY < <(compgen -W "--list --dry-run --quiet --json --no-journal $common" -- "$cur")
            else
                # The journal's batches, newest first, as the list names them.
                mapfile -t COMPREPLY < <(compgen -W "$(pelmix-cli undo --list 2>/dev/null | sed -n 's/^\([0-9-]*\)  .*/\1/p')" -- "$cur")
            fi
            return ;;
        genres) options=$common ;;
        help)
            # One command: the one whose help is wanted.
            COMPREPLY=()
            [ -z "$after_help" ] && mapfile -t COMPREPLY < <(compgen -W "show stamp strip rename genres undo" -- "$cur")
            return ;;
        *) mapfile -t COMPREPLY < <(compgen -W "show stamp strip rename genres undo help $common" -- "$cur"); return ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    elif [ "$command" != genres ]; then
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    else
        COMPREPLY=()
    fi
}

complete -o bashdefault -F _pelmix_cli pelmix-cli
