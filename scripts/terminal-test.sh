#!/bin/sh
# The real-terminal stage of the test suite: the release build's game played in a real xterm under
# Xvfb with real X key events, its screens compared with tharvok-replay playing the game's own
# recording (tests/terminals/xterm_test.py), at 80 x 25 and 80 x 24. Installs xterm, Xvfb and
# xdotool with apt-get when they are missing.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/need" terminal-test xterm xterm Xvfb xvfb xdotool xdotool python3 python3

cd "$root"
cmake --preset release >/dev/null
cmake --build --preset release --target tharvok tharvok-replay tharvok_data
python3 "$root/tests/terminals/xterm_test.py" "$root/build/release"
