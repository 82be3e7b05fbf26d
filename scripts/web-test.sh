#!/bin/sh
# The browser stage of the test suite: builds the page (scripts/web-build.sh) and tharvok-replay,
# then plays tests/web/tour.replay in Debian's Chromium, headless, against tharvok-replay on the
# virtual console (tests/web/browser_test.py). Installs Chromium and a monospace font with apt-get
# when they are missing. Screenshots are left in build/web/browser-test.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)

missing=
command -v chromium >/dev/null || missing="$missing chromium"
command -v python3 >/dev/null || missing="$missing python3"
dpkg-query -W -f='${Status}' fonts-dejavu-core 2>/dev/null | grep -q 'install ok installed' ||
    missing="$missing fonts-dejavu-core"
if [ -n "$missing" ]; then
    echo "web-test: installing$missing"
    sudo=
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -q
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
fi

"$root/scripts/web-build.sh"
cd "$root"
cmake --preset release >/dev/null
cmake --build --preset release --target tharvok-replay

python3 "$root/tests/web/browser_test.py" --page "$root/build/web/page" \
    --replay "$root/build/release/tharvok-replay" --data "$root/data" \
    --out "$root/build/web/browser-test" "$root/tests/web/tour.replay" "$root/tests/web/phone.replay"
