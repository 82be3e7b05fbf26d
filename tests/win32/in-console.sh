#!/bin/sh
# Runs a Windows program under wine in an 80 x 25 pseudo-terminal, where wine gives it a real
# console, and exits with the program's status. What the terminal showed is printed afterwards
# with the escape sequences taken out.
#
#   in-console.sh [--input TEXT] [--log FILE] [--errors FILE] EMULATOR... -- PROGRAM [ARGS...]
#
# --input types TEXT into the console once the program runs (then ends the input).
# --errors sends the program's standard error to FILE, and shows FILE instead of the terminal.
set -eu

input=
log=
errors=
while :; do
    case "$1" in
    --input) input=$2; shift 2 ;;
    --log) log=$2; shift 2 ;;
    --errors) errors=$2; shift 2 ;;
    *) break ;;
    esac
done

quote() { printf "'%s'" "$(printf '%s' "$1" | sed "s/'/'\\\\''/g")"; }
command=
for arg in "$@"; do
    [ "$arg" = -- ] && continue
    command="$command $(quote "$arg")"
done

[ -n "$errors" ] && command="$command 2>$(quote "$errors")"
[ -n "$log" ] || log=$(mktemp)
export TERM="${TERM:-xterm}"
[ "$TERM" = dumb ] && export TERM=xterm
status=0
# script(1) types its standard input into the terminal and ends it at the end of the input.
if [ -n "$input" ]; then
    printf '%s' "$input" | script -qec "stty cols 80 rows 25; exec$command" /dev/null >"$log" || status=$?
else
    script -qec "stty cols 80 rows 25; exec$command" /dev/null </dev/null >"$log" || status=$?
fi
if [ -n "$errors" ]; then
    cat "$errors"
else
    sed -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' -e 's/\x1b\][^\a]*\a//g' "$log" | tr -s '\r' '\n'
fi
exit "$status"
