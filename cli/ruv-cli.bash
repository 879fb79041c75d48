# bash completion for ruv-cli: its options, code names and line ends as its own
# --help lists them (so they never fall behind the program), files and folders
# for paths.  Installed as share/bash-completion/completions/ruv-cli.

_ruv_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    local help
    help=$("${COMP_WORDS[0]}" --help 2>/dev/null) || help=$(command ruv-cli --help 2>/dev/null)
    local words=
    case $prev in
        --to | --from)
            # "CODE: jis | sjis | ..., or a usual name ..."
            words=$(sed -n 's/^CODE: \([^,]*\),.*/\1/p' <<<"$help" | tr -d '|') ;;
        --newline)
            # "--newline TEXT:{crlf,cr,lf}"
            words=$(sed -n 's/^ *--newline [^{]*{\([^}]*\)}.*/\1/p' <<<"$help" | tr ',' ' ') ;;
        --include | --exclude | -j)
            return ;;  # a pattern or a number: nothing to offer
        *)
            if [[ $cur == -* ]]; then
                # The first word of each option line: "-k,--keep-going", "--to".
                words=$(sed -n 's/^  \(-[^ ]*\).*/\1/p' <<<"$help" | tr ',' ' ')
            else
                compopt -o filenames 2>/dev/null
                mapfile -t COMPREPLY < <(compgen -f -- "$cur")
                return
            fi ;;
    esac
    mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
}
complete -F _ruv_cli ruv-cli
