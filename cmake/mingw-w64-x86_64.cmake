# Cross-compiling for 64-bit Windows with mingw-w64 (the POSIX-threads flavour, whose C++ library
# has std::thread and friends). Programs are linked statically so that a single .exe runs
# anywhere, under wine included.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(THARVOK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${THARVOK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${THARVOK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${THARVOK_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${THARVOK_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${THARVOK_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_STRIP ${THARVOK_MINGW_TRIPLE}-strip CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${THARVOK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests (and test discovery) run the programs under wine, in a prefix of the build folder; see
# cmake/wine-run.sh.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh;--prefix;${CMAKE_BINARY_DIR}/wineprefix")
endif()

# GCC 12 warns wrongly about overlapping copies inside std::string when it inlines operator+ at
# -O2/-O3 (fixed in GCC 13); with warnings as errors that stops the build.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
