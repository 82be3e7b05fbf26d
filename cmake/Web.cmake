# The browser build (Emscripten): a folder of static files, page/ in the build folder, that any
# web server can host: index.html, tharvok.js, tharvok.wasm, and tharvok.data with config.ini and
# bin/world/ packed under /data, where the page's program looks for them.
set(THARVOK_PAGE_DIR ${PROJECT_BINARY_DIR}/page)
set(web ${PROJECT_SOURCE_DIR}/src/platform/web)
file(GLOB THARVOK_WORLD_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/bin/world/*)

set_target_properties(tharvok PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${THARVOK_PAGE_DIR}
  LINK_DEPENDS "${web}/page.js;${PROJECT_SOURCE_DIR}/data/config.ini;${THARVOK_WORLD_FILES}")
target_link_options(tharvok PRIVATE
  "SHELL:--js-library ${web}/page.js"
  "SHELL:--preload-file ${PROJECT_SOURCE_DIR}/data/config.ini@/data/config.ini"
  "SHELL:--preload-file ${PROJECT_SOURCE_DIR}/data/bin/world@/data/bin/world"
  -sENVIRONMENT=web
  -sALLOW_MEMORY_GROWTH=1
  -sEXPORTED_RUNTIME_METHODS=callMain,UTF8ToString)

add_custom_command(OUTPUT ${THARVOK_PAGE_DIR}/index.html
  COMMAND ${CMAKE_COMMAND} -E copy ${web}/index.html ${THARVOK_PAGE_DIR}/index.html
  DEPENDS ${web}/index.html
  COMMENT "Copying the page")
add_custom_target(tharvok_page ALL DEPENDS ${THARVOK_PAGE_DIR}/index.html)

# Debian's Emscripten finds its JavaScript modules (acorn) only through Debian's node, or with
# NODE_PATH pointing at them.
if(IS_DIRECTORY /usr/share/nodejs)
  set_property(TARGET tharvok PROPERTY RULE_LAUNCH_LINK
    "${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs")
endif()
