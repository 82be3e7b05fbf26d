#!/bin/sh
# Runs a command, shows its output, and passes when it exits with STATUS and its output has
# every TEXT given, and none given as !TEXT.
#
#   expect-run.sh STATUS [TEXT...] -- COMMAND [ARGS...]
set -u

want=$1
shift
texts=
while [ "$1" != -- ]; do
    texts="$texts$1
"
    shift
done
shift

output=$("$@" 2>&1 </dev/null)
status=$?
printf '%s\n' "$output"
if [ "$status" != "$want" ]; then
    echo "expect-run: exit status $status, wanted $want" >&2
    exit 1
fi
printf '%s' "$texts" | while IFS= read -r text; do
    case "$text" in
    !*)
        if printf '%s' "$output" | grep -qF -- "${text#!}"; then
            echo "expect-run: '${text#!}' is in the output" >&2
            exit 1
        fi
        ;;
    *)
        if ! printf '%s' "$output" | grep -qF -- "$text"; then
            echo "expect-run: '$text' is missing from the output" >&2
            exit 1
        fi
        ;;
    esac
done
