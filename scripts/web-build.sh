#!/bin/sh
# Builds Tharvok for the browser with Emscripten (the web preset) into build/web/page: index.html,
# tharvok.js, tharvok.wasm and tharvok.data (config.ini and the worlds), a folder of static files
# that any web server can host (scripts/web-serve serves it here). Installs Emscripten, CMake and
# Ninja with apt-get when they are missing.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/need" web-build em++ emscripten cmake cmake ninja ninja-build

cd "$root"
cmake --preset web >/dev/null
cmake --build --preset web
echo "web-build: the page is in build/web/page (scripts/web-serve serves it)"
