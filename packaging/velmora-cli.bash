# SPDX-License-Identifier: GPL-3.0-or-later
# Bash completion for velmora-cli: commands, the options of each command
# (read from its own --help, so they never go stale) and file names by the
# extension each place takes.

# Offers the files ending in one of the extensions given (without the dot),
# and folders to walk into; none given: every file.
_velmora_cli_files()
{
    local cur=$1
    shift
    compopt -o filenames 2>/dev/null
    local IFS=$'\n' file ext
    local -a found
    found=($(compgen -d -- "$cur"))
    for file in $(compgen -f -- "$cur"); do
        [ -d "$file" ] && continue
        if [ $# -eq 0 ]; then
            found+=("$file")
            continue
        fi
        for ext in "$@"; do
            if [[ ${file,,} == *."$ext" ]]; then
                found+=("$file")
                break
            fi
        done
    done
    COMPREPLY=("${found[@]}")
}

_velmora_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD-1]}
    local program=${COMP_WORDS[0]}
    COMPREPLY=()

    if [ "$COMP_CWORD" -eq 1 ]; then
        local commands="new dump stats convert import scan analyse tag volumes update delete
            rename sort drives search duplicates report locate playlist cover check-pack
            --help --version"
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        return
    fi

    local command=${COMP_WORDS[1]}
    if [ "$command" = tag ]; then
        if [ "$COMP_CWORD" -eq 2 ]; then
            COMPREPLY=($(compgen -W "show write remove" -- "$cur"))
            return
        fi
        command="tag ${COMP_WORDS[2]}"
    fi

    # The value of an option.
    case "$prev" in
    -c | --collection)
        _velmora_cli_files "$cur" col
        return
        ;;
    -o | --output)
        case "$command" in
        playlist) _velmora_cli_files "$cur" m3u pls ;;
        cover) _velmora_cli_files "$cur" pdf ;;
        *) _velmora_cli_files "$cur" ;;
        esac
        return
        ;;
    --save) _velmora_cli_files "$cur"; return ;;
    --on | --from)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -d -- "$cur"))
        return
        ;;
    --format) COMPREPLY=($(compgen -W "text dif html csv" -- "$cur")); return ;;
    --in) COMPREPLY=($(compgen -W "all dirs files" -- "$cur")); return ;;
    --by) COMPREPLY=($(compgen -W "name property both" -- "$cur")); return ;;
    --rows) COMPREPLY=($(compgen -W "collection volume folder file" -- "$cur")); return ;;
    --label | --serial | --name | --tag | --property | --columns | --title | --artist | \
        --album | --track | --year | --comment | --stretch | --font)
        return
        ;;
    esac

    if [[ $cur == -* ]]; then
        # shellcheck disable=SC2086 # "tag show" is two words
        local options
        options=$("$program" $command --help 2>/dev/null |
            grep -oE '^  (-[a-z], )?--[a-z0-9-]+' | grep -oE -- '--[a-z0-9-]+')
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi

    # Operands.
    case "$command" in
    scan | cover) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -d -- "$cur")) ;;
    analyse | "tag show" | "tag write" | "tag remove") _velmora_cli_files "$cur" mp1 mp2 mp3 mpa ;;
    import | convert) _velmora_cli_files "$cur" col vlm ;;
    check-pack) _velmora_cli_files "$cur" lng ;;
    drives) ;;
    *) _velmora_cli_files "$cur" col ;;
    esac
}

complete -F _velmora_cli velmora-cli
