#!/bin/sh
# Cross-builds Tharvok for 64-bit Windows with mingw-w64 into build/win64 (the game, the replay
# runner and the test programs) and packs the release ZIP into build/win64/package/.
# Installs the tools it needs with apt-get when they are missing.
#
#   scripts/windows-build.sh [BUILD_TYPE]      (Release by default)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/win64"
build_type="${1:-Release}"

if [ "${THARVOK_SKIP_INSTALL:-}" != 1 ]; then
    "$root/scripts/need" windows-build - g++-mingw-w64-x86-64-posix - cmake - ninja-build - python3 \
        - googletest
fi

cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE="$build_type"
cmake --build "$build" --parallel "$(nproc)"
(cd "$build" && cpack -G ZIP)
echo "windows-build: $(ls "$build"/package/*.zip)"
