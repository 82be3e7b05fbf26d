"""The start world's stem for the tests, the benchmarks and the scripts that write test worlds:
the world the game starts in is bin/world/STEM.wgf and STEM.wif of its data folder.

The game names it in src/world/WorldFiles.h; tests/CMakeLists.txt reads this file for CMake.
"""
STEM = "cbd0c59d7beb6f252926f8b454738e97"
