#!/bin/sh
# Builds Tharvok for the browser with Emscripten (the web preset) into build/web/page: index.html,
# tharvok.js, tharvok.wasm and tharvok.data (config.ini and the worlds), a folder of static files
# that any web server can host (scripts/web-serve serves it here). Installs Emscripten, CMake and
# Ninja with apt-get when they are missing.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)

missing=
command -v em++ >/dev/null || missing="$missing emscripten"
command -v cmake >/dev/null || missing="$missing cmake"
command -v ninja >/dev/null || missing="$missing ninja-build"
if [ -n "$missing" ]; then
    echo "web-build: installing$missing"
    sudo=
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -q
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
fi

cd "$root"
cmake --preset web >/dev/null
cmake --build --preset web
echo "web-build: the page is in build/web/page (scripts/web-serve serves it)"
