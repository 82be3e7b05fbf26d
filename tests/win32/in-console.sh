#!/bin/sh
# Runs a Windows program under wine in an 80 x 25 pseudo-terminal, where wine gives it a real
# console, and exits with the program's status. What the terminal showed is printed afterwards
# with the escape sequences taken out.
#
#   in-console.sh [--input TEXT] [--after SHOWN] [--until SHOWN] [--log FILE] [--errors FILE]
#                 EMULATOR... -- PROGRAM [ARGS...]
#
# --input types TEXT (with printf's backslash escapes: \003 is Ctrl-C) into the console once the
# program runs, then ends the input; with --after, once the terminal shows SHOWN, and then the
# program has to end by itself.
# --until ends the program once the terminal shows SHOWN, and then exits with 0.
# --errors sends the program's standard error to FILE, and shows FILE instead of the terminal.
#
# A program that starts wine's desktop and services may take many seconds to draw anything, so
# SHOWN is waited for up to THARVOK_WAIT_S seconds (60 by default); when it does not come the
# program is ended and the status is 124 (a program that ends first gives its own status).
set -eu

input=
after=
until=
log=
errors=
while :; do
    case "$1" in
    --input) input=$2; shift 2 ;;
    --after) after=$2; shift 2 ;;
    --until) until=$2; shift 2 ;;
    --log) log=$2; shift 2 ;;
    --errors) errors=$2; shift 2 ;;
    *) break ;;
    esac
done
wait_s=${THARVOK_WAIT_S:-60}

quote() { printf "'%s'" "$(printf '%s' "$1" | sed "s/'/'\\\\''/g")"; }
command=
for arg in "$@"; do
    [ "$arg" = -- ] && continue
    command="$command $(quote "$arg")"
done

[ -n "$errors" ] && command="$command 2>$(quote "$errors")"
[ -n "$log" ] || log=$(mktemp)
: >"$log"
export TERM="${TERM:-xterm}"
[ "$TERM" = dumb ] && export TERM=xterm

# What the terminal showed so far, as text.
shown() { sed -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' -e 's/\x1b\][^\a]*\a//g' "$log" | tr -s '\r' '\n'; }

status=0
if [ -z "$after" ] && [ -z "$until" ]; then
    # script(1) types its standard input into the terminal and ends it at the end of the input.
    if [ -n "$input" ]; then
        printf '%b' "$input" | script -qec "stty cols 80 rows 25; exec$command" /dev/null >"$log" ||
            status=$?
    else
        script -qec "stty cols 80 rows 25; exec$command" /dev/null </dev/null >"$log" || status=$?
    fi
else
    # The terminal's input is a pipe kept open until the text is typed.
    fifo=$(mktemp -u)
    program=$(mktemp)
    mkfifo "$fifo"
    script -qec "stty cols 80 rows 25; echo \$\$ >$(quote "$program"); exec$command" /dev/null \
        <"$fifo" >"$log" &
    pid=$!
    exec 8>"$fifo"
    rm -f "$fifo"
    # Waits until the terminal shows $1 (true) or the program ends or the time is up (false).
    wait_for() {
        end=$(($(date +%s) + wait_s))
        while [ "$(date +%s)" -lt "$end" ] && kill -0 "$pid" 2>/dev/null; do
            shown | grep -qF -- "$1" && return 0
            sleep 0.2
        done
        shown | grep -qF -- "$1"
    }
    # Ends the program (the shell in the terminal that wrote its number has become it) and so
    # the terminal.
    stop() {
        [ -s "$program" ] && kill "$(cat "$program")" 2>/dev/null || true
    }
    seen=yes
    if [ -n "$after" ]; then
        wait_for "$after" || seen=no
    fi
    if [ "$seen" = yes ] && [ -n "$input" ]; then
        printf '%b' "$input" >&8
    fi
    if [ "$seen" = yes ] && [ -n "$until" ]; then
        wait_for "$until" || seen=no
    fi
    if [ "$seen" = yes ] && [ -z "$until" ]; then
        # The input typed, the program is to end by itself.
        exec 8>&-
        end=$(($(date +%s) + wait_s))
        while [ "$(date +%s)" -lt "$end" ] && kill -0 "$pid" 2>/dev/null; do
            sleep 0.2
        done
    fi
    ended=no
    kill -0 "$pid" 2>/dev/null || ended=yes
    if [ "$ended" = no ]; then
        stop
    fi
    exec 8>&-
    wait "$pid" || status=$?
    rm -f "$program"
    if [ "$seen" = no ] && [ "$ended" = yes ]; then
        echo "in-console: the program ended before the terminal showed '$after$until'" >&2
    elif [ "$seen" = no ]; then
        echo "in-console: the terminal did not show '$after$until' within $wait_s s" >&2
        status=124
    elif [ -n "$until" ]; then
        status=0
    elif [ "$ended" = no ]; then
        echo "in-console: the program did not end within $wait_s s of the input" >&2
        status=124
    fi
fi
if [ -n "$errors" ]; then
    cat "$errors"
else
    shown
fi
exit "$status"
