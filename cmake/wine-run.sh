#!/bin/sh
# Runs a Windows program of the cross build under wine: the emulator CMake uses for tests and
# for test discovery. The wine prefix lives in the build folder (THARVOK_WINEPREFIX, or
# wineprefix/ beside CMakeCache.txt) and is made on first use. The wine server is started here,
# detached from every output stream, so that nobody waits on it: a server started by a wine
# process inherits that process's output and keeps a pipe reader waiting until it exits.
#
#   wine-run.sh [--prefix DIR] PROGRAM [ARGS...]   run a program
#   wine-run.sh [--prefix DIR] --start             make the prefix if needed, start the server
#   wine-run.sh [--prefix DIR] --stop              stop the server
set -eu

if [ "${1:-}" = --prefix ]; then
    THARVOK_WINEPREFIX=$2
    shift 2
fi
if [ -z "${THARVOK_WINEPREFIX:-}" ]; then
    echo "wine-run.sh: give --prefix DIR or set THARVOK_WINEPREFIX" >&2
    exit 2
fi
export WINEPREFIX="$THARVOK_WINEPREFIX"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers: console programs need neither.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64

start_server() {
    mkdir -p "$WINEPREFIX"
    # One at a time: parallel tests must not make the prefix twice.
    exec 9>"$WINEPREFIX.lock"
    flock 9
    # Persistent until stopped (or 60 s after the last program), streams closed. Exits with 2
    # when a server already runs for this prefix.
    fresh=no
    if wineserver -p60 </dev/null >/dev/null 2>&1; then
        fresh=yes
    fi
    # The first program of a new server starts wine's own services, which keep the output of
    # the program that started them: start them here, with no output to keep.
    if [ ! -f "$WINEPREFIX/.tharvok-ready" ]; then
        wineboot -i </dev/null >/dev/null 2>&1
        touch "$WINEPREFIX/.tharvok-ready"
    elif [ "$fresh" = yes ]; then
        wineboot </dev/null >/dev/null 2>&1
    fi
    flock -u 9
    exec 9>&-
}

case "${1:-}" in
--start)
    start_server
    exit 0
    ;;
--stop)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    exit 0
    ;;
esac

start_server
exec wine "$@"
