#!/usr/bin/env bash
# Writes the man page of kavprog-cli from its own help texts: the program's, then each
# command's. Usage: manpage.sh PATH-TO-kavprog-cli OUTPUT
set -euo pipefail
cli=$1
out=$2

# Help text as troff: backslashes doubled, lines starting with . or ' protected.
as_troff() {
    sed -e 's/\\/\\e/g' -e "s/^\([.']\)/\\\\\&\1/"
}

version=$("$cli" --version)
help=$("$cli" --help)
commands=$(printf '%s\n' "$help" | sed -n '/^commands:/,/^$/p' | awk 'NR > 1 && NF { print $1 }')

{
    printf '.TH KAVPROG-CLI 1 "" "%s" "User Commands"\n' "$version"
    printf '.SH NAME\nkavprog-cli \\- read, write, compare and report KAV radio configurations\n'
    printf '.SH SYNOPSIS\n.nf\n'
    printf '%s\n' "$help" | sed -n '/^usage:/,/^$/p' | sed -e 's/^usage: //' -e 's/^ *//' |
        awk 'NF' | as_troff
    printf '.fi\n.SH DESCRIPTION\n.nf\n'
    printf '%s\n' "$help" | awk 'f; /^$/ && !f { f = 1 }' | as_troff
    printf '.fi\n.SH COMMANDS\n'
    for c in $commands; do
        printf '.SS %s\n.nf\n' "$c"
        "$cli" "$c" --help | as_troff
        printf '.fi\n'
    done
    printf '.SH FILES\n.TP\n.I ~/.local/share/Kav/history\n'
    printf 'a copy of every completed read, the newest 200\n'
    printf '.SH SEE ALSO\n.BR kavprog (1)\n'
} >"$out"
