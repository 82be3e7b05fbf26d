#!/bin/sh
# Plays one replay script twice under wine, on the virtual console and on the real Win32
# console in an 80 x 25 pseudo-terminal, and fails unless both print the same screens,
# attributes and cursors. The output must also show EXPECTED, so that a script that goes wrong
# the same way on both consoles does not pass ("-": scripts whose output is checked elsewhere).
#
#   crosscheck.sh OUTDIR SCRIPT VIRTUAL_DIR WIN32_DIR EXPECTED EMULATOR... -- REPLAY [OPTIONS...]
#
# VIRTUAL_DIR and WIN32_DIR are the game folders of each run (the same one, or one world with LF
# and one with CR LF row ends).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=$1 script=$2 virtual_dir=$3 win32_dir=$4 expected=$5
shift 5
emulator=
while [ "$1" != -- ]; do
    emulator="$emulator $1"
    shift
done
shift
replay=$1
shift

mkdir -p "$out"
rm -f "$out/virtual.txt" "$out/win32.txt"

status_virtual=0
# shellcheck disable=SC2086
$emulator "$replay" --console virtual --dir "$virtual_dir" --out "$out/virtual.txt" "$@" "$script" \
    </dev/null || status_virtual=$?
# Wine now and then fails to give a program a console at all when the machine is busy (the run
# then ends at once with nothing written): such a run is tried once more. A run that printed
# anything is compared as it is.
for try in 1 2; do
    status_win32=0
    # shellcheck disable=SC2086
    "$here/in-console.sh" --log "$out/terminal.log" $emulator -- "$replay" --console win32 \
        --dir "$win32_dir" --out "$out/win32.txt" "$@" "$script" >/dev/null || status_win32=$?
    [ -s "$out/win32.txt" ] && break
    [ "$try" = 1 ] && echo "crosscheck: the Win32 console run printed nothing (status $status_win32); once more" >&2
done

fail() {
    echo "crosscheck: $*" >&2
    exit 1
}
[ -s "$out/virtual.txt" ] || fail "the virtual console run printed nothing (status $status_virtual)"
[ -s "$out/win32.txt" ] || fail "the Win32 console run printed nothing (status $status_win32)"
[ "$status_virtual" = "$status_win32" ] ||
    fail "exit status $status_virtual on the virtual console, $status_win32 on the Win32 console"
if [ "$expected" != - ]; then
    grep -qF -- "$expected" "$out/virtual.txt" || fail "'$expected' is not on the screen"
fi
if ! cmp -s "$out/virtual.txt" "$out/win32.txt"; then
    diff -u "$out/virtual.txt" "$out/win32.txt" | head -80 >&2 || true
    fail "the Win32 console shows something else than the virtual console"
fi
echo "crosscheck: $(wc -l <"$out/virtual.txt") lines alike, exit status $status_virtual"
