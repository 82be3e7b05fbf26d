#!/bin/sh
# Cross-builds Tharvok for Windows (scripts/windows-build.sh) and runs the whole test suite of
# that build under wine: the shared tests, and the Win32 console tests and cross-checks, which
# run in 80 x 25 pseudo-terminals. Installs mingw-w64 and wine with apt-get when missing.
#
#   scripts/windows-test.sh [CTEST_ARGS...]
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/win64"

if [ "${THARVOK_SKIP_INSTALL:-}" != 1 ]; then
    "$root/scripts/need" windows-test - wine - wine64 - bsdutils - util-linux - tmux
fi

for tool in wine wineserver tmux script flock; do
    if ! command -v "$tool" >/dev/null; then
        echo "windows-test: no $tool here (apt-get install wine wine64 tmux bsdutils util-linux)" >&2
        exit 1
    fi
done

# A brand-new wine prefix every run, so that the first start of wine (its prefix, its server, its
# services) is what every run goes through: made here, before the build's configuration would make
# it and before any test, outside every time limit. The test programs are listed under wine when
# the tests start, in less time than making a prefix takes.
prefix="$build/wineprefix"
start=$(date +%s)
"$root/cmake/wine-run.sh" --prefix "$prefix" --stop
rm -rf "$prefix" "$prefix.lock"
"$root/cmake/wine-run.sh" --prefix "$prefix" --start
echo "windows-test: a new wine prefix, its server and services started in $(($(date +%s) - start)) s"

"$root/scripts/windows-build.sh"
"$root/cmake/wine-run.sh" --prefix "$prefix" --start
status=0
# A test that fails is run once more: wine, starting a program while others start and stop, now
# and then fails to start it at all (no output, within a twentieth of a second). A real failure
# fails the second run as well, and both runs' output is shown.
(cd "$build" && ctest --output-on-failure --repeat until-pass:2 --parallel "$(nproc)" "$@") ||
    status=$?
"$root/cmake/wine-run.sh" --prefix "$prefix" --stop
exit "$status"
