# The browser build (Emscripten): a folder of static files, page/ in the build folder, that any
# web server can host: index.html and shell.js (the page around the game), tharvok.js,
# tharvok.wasm, and tharvok.data with config.ini and bin/world/ packed under /data, where the
# page's program looks for them; the icons, the web app manifest and the service worker that keeps
# all of them for offline play.
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
  -sEXPORTED_FUNCTIONS=_main,_tharvok_touch_controls,_tharvok_whereabouts
  -sEXPORTED_RUNTIME_METHODS=callMain,UTF8ToString,FS)

# The page's own files, copied as they are.
set(THARVOK_PAGE_COPIED index.html shell.js manifest.webmanifest)
set(copied "")
foreach(file IN LISTS THARVOK_PAGE_COPIED)
  add_custom_command(OUTPUT ${THARVOK_PAGE_DIR}/${file}
    COMMAND ${CMAKE_COMMAND} -E copy ${web}/${file} ${THARVOK_PAGE_DIR}/${file}
    DEPENDS ${web}/${file}
    COMMENT "Copying ${file}")
  list(APPEND copied ${THARVOK_PAGE_DIR}/${file})
endforeach()

# The game's icon: the page's icon (also where browsers look unasked) and the app's icons.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(icon ${PROJECT_SOURCE_DIR}/tools/icon/make_icon.py)
add_custom_command(OUTPUT ${THARVOK_PAGE_DIR}/favicon.ico
  COMMAND ${Python3_EXECUTABLE} ${icon} ${THARVOK_PAGE_DIR}/favicon.ico
  DEPENDS ${icon}
  COMMENT "Drawing the page's icon")
foreach(size 192 512)
  add_custom_command(OUTPUT ${THARVOK_PAGE_DIR}/icon-${size}.png
    COMMAND ${Python3_EXECUTABLE} ${icon} --png ${size} ${THARVOK_PAGE_DIR}/icon-${size}.png
    DEPENDS ${icon}
    COMMENT "Drawing the app's icon, ${size} pixels")
endforeach()

# The service worker, named after the contents of every file it keeps.
set(THARVOK_PAGE_FILES ${THARVOK_PAGE_COPIED} tharvok.js tharvok.wasm tharvok.data favicon.ico
    icon-192.png icon-512.png)
string(REPLACE ";" "," page_file_names "${THARVOK_PAGE_FILES}")
# The link writes tharvok.wasm and tharvok.data with tharvok.js: depending on it is enough.
set(page_files ${copied} ${THARVOK_PAGE_DIR}/favicon.ico ${THARVOK_PAGE_DIR}/icon-192.png
    ${THARVOK_PAGE_DIR}/icon-512.png)
add_custom_command(OUTPUT ${THARVOK_PAGE_DIR}/service-worker.js
  COMMAND ${CMAKE_COMMAND} -DPAGE_DIR=${THARVOK_PAGE_DIR} -DFILES=${page_file_names}
          -DTEMPLATE=${web}/service-worker.js.in -DOUTPUT=${THARVOK_PAGE_DIR}/service-worker.js
          -P ${PROJECT_SOURCE_DIR}/cmake/WebOffline.cmake
  DEPENDS ${page_files} tharvok $<TARGET_FILE:tharvok> ${web}/service-worker.js.in
          ${PROJECT_SOURCE_DIR}/cmake/WebOffline.cmake
  COMMENT "Writing the service worker")
add_custom_target(tharvok_page ALL DEPENDS ${THARVOK_PAGE_DIR}/service-worker.js)

# Debian's Emscripten finds its JavaScript modules (acorn) only through Debian's node, or with
# NODE_PATH pointing at them.
if(IS_DIRECTORY /usr/share/nodejs)
  set_property(TARGET tharvok PROPERTY RULE_LAUNCH_LINK
    "${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs")
endif()
