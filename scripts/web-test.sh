#!/bin/sh
# The browser stage of the test suite: builds the page (scripts/web-build.sh) and tharvok-replay,
# then plays tests/web/tour.replay in Debian's Chromium, headless, against tharvok-replay on the
# virtual console (tests/web/browser_test.py). Installs Chromium and a monospace font with apt-get
# when they are missing. Screenshots are left in build/web/browser-test.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/need" web-test chromium chromium python3 python3 - fonts-dejavu-core

"$root/scripts/web-build.sh"
cd "$root"
cmake --preset release >/dev/null
cmake --build --preset release --target tharvok-replay

python3 "$root/tests/web/browser_test.py" --page "$root/build/web/page" \
    --replay "$root/build/release/tharvok-replay" --data "$root/data" \
    --out "$root/build/web/browser-test" "$root/tests/web/tour.replay" "$root/tests/web/phone.replay"
