# bash completion for cindervault-cli: commands, options, method IDs and paths. Commands and
# options are read from the program's own help, so that they follow the installed version.

_cindervault_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    local program=${words[0]}
    if ((cword == 1)); then
        local commands
        commands=$("$program" --help 2>/dev/null | sed -n 's/^  \([a-z][a-z-]*\).*/\1/p')
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi

    local command=${words[1]}
    case $prev in
        --method)
            COMPREPLY=($(compgen -W "$("$program" methods 2>/dev/null | cut -f1)" -- "$cur"))
            return
            ;;
        --volume)
            COMPREPLY=($(compgen -W "delete complete" -- "$cur"))
            return
            ;;
        --verify)
            # Only as --verify=VALUE: a bare --verify takes no value.
            $split && COMPREPLY=($(compgen -W "last all" -- "$cur"))
            return
            ;;
        --report-format)
            COMPREPLY=($(compgen -W "html pdf" -- "$cur"))
            return
            ;;
        --report-dir)
            _filedir -d
            return
            ;;
        --exclude)
            _filedir
            return
            ;;
    esac

    $split && return

    # Options until "--" ends them.
    local i
    for ((i = 2; i < cword; i++)); do
        [[ ${words[i]} == -- ]] && { _filedir; return; }
    done
    if [[ $cur == -* ]]; then
        local options
        options=$("$program" "$command" --help 2>/dev/null | sed -n 's/^  \(--[a-z0-9-]*\).*/\1/p')
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi

    case $command in
        methods) ;;
        wipe-free) _filedir -d ;;
        *) _filedir ;;
    esac
} &&
    complete -F _cindervault_cli cindervault-cli
