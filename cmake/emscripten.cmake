# Toolchain of the web preset: Emscripten's own toolchain file, wherever emcc is installed
# (Debian's package puts it under /usr/share/emscripten).
find_program(THARVOK_EM_CONFIG em-config)
if(NOT THARVOK_EM_CONFIG)
  message(FATAL_ERROR "Emscripten is not installed (on Debian: apt-get install emscripten)")
endif()
execute_process(COMMAND ${THARVOK_EM_CONFIG} EMSCRIPTEN_ROOT
  OUTPUT_VARIABLE THARVOK_EMSCRIPTEN_ROOT OUTPUT_STRIP_TRAILING_WHITESPACE)
include(${THARVOK_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake)
