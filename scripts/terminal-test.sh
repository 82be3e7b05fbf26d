#!/bin/sh
# The real-terminal stage of the test suite: the release build's game played in a real xterm under
# Xvfb with real X key events, its screens compared with tharvok-replay playing the game's own
# recording (tests/terminals/xterm_test.py), at 80 x 25 and 80 x 24. Installs xterm, Xvfb and
# xdotool with apt-get when they are missing.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)

missing=
command -v xterm >/dev/null || missing="$missing xterm"
command -v Xvfb >/dev/null || missing="$missing xvfb"
command -v xdotool >/dev/null || missing="$missing xdotool"
command -v python3 >/dev/null || missing="$missing python3"
if [ -n "$missing" ]; then
    echo "terminal-test: installing$missing"
    sudo=
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -q
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
fi

cd "$root"
cmake --preset release >/dev/null
cmake --build --preset release --target tharvok tharvok-replay tharvok_data
python3 "$root/tests/terminals/xterm_test.py" "$root/build/release"
