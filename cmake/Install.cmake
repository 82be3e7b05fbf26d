# Installing on Linux and the other POSIX systems: `cmake --install` lays out
#   bin/tharvok, bin/tharvok-replay, bin/tharvok-world
#   share/tharvok/config.ini, share/tharvok/bin/world/   (found by the game as ../share/tharvok)
#   share/man/man6/tharvok.6.gz, share/man/man1/{tharvok-replay,tharvok-world}.1.gz,
#   share/doc/tharvok/{README.md,copyright,changelog.gz}, share/doc/tharvok/docs/ (the guides and
#   the README's pictures)
# and CPack makes a .tar.gz that unpacks into that layout (it works wherever it is unpacked) and
# a .deb that installs it under /usr. Included by the top-level CMakeLists.txt after the targets.
if(WIN32 OR NOT TARGET tharvok)
  return()
endif()

include(GNUInstallDirs)
set(THARVOK_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tharvok)

install(TARGETS tharvok tharvok-replay tharvok-world RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/config.ini DESTINATION ${CMAKE_INSTALL_DATADIR}/tharvok)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/bin/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tharvok/bin)

# The manual pages are each program's own --help laid out in roff around the hand-written parts in
# docs/PAGE.in (cmake/ManPage.cmake), made when the program is built; the game's is made with the
# shipped data, so its keys are the shipped config.ini's. A cross build cannot run its programs
# here and installs no manual page.
set(THARVOK_PACKAGE_FILES ${PROJECT_BINARY_DIR}/package-files)
set(THARVOK_MAN_PAGES tharvok.6 tharvok-replay.1 tharvok-world.1)
set(THARVOK_MAN_OUTPUTS "")
if(NOT CMAKE_CROSSCOMPILING)
  foreach(page ${THARVOK_MAN_PAGES})
    string(REGEX REPLACE "\\.[0-9]$" "" program ${page})
    set(data "")
    set(depends ${PROJECT_SOURCE_DIR}/docs/${page}.in ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake)
    if(program STREQUAL "tharvok")
      set(data -DDATA=${PROJECT_SOURCE_DIR}/data)
      list(APPEND depends ${PROJECT_SOURCE_DIR}/data/config.ini)
    endif()
    add_custom_command(OUTPUT ${THARVOK_PACKAGE_FILES}/${page}
      COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}>
              -DTEMPLATE=${PROJECT_SOURCE_DIR}/docs/${page}.in
              -DOUTPUT=${THARVOK_PACKAGE_FILES}/${page} -DVERSION=${PROJECT_VERSION} ${data}
              -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
      DEPENDS ${program} ${depends}
      COMMENT "Writing the manual page ${page} from ${program} --help" VERBATIM)
    list(APPEND THARVOK_MAN_OUTPUTS ${THARVOK_PACKAGE_FILES}/${page})
  endforeach()
endif()

# The manual pages and the changelog are compressed as Debian wants them (gzip -9n: no name, no
# time stamp, so that the package is the same on every build).
find_program(GZIP gzip)
file(MAKE_DIRECTORY ${THARVOK_PACKAGE_FILES})
file(WRITE ${THARVOK_PACKAGE_FILES}/changelog
     "tharvok (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
     "  * The game, its replay runner and its world tools, with the shipped adventure.\n\n"
     " -- Tharvok developers <developers@tharvok.invalid>  Mon, 07 Dec 2026 12:00:00 +0000\n")
set(THARVOK_MAN_INSTALLED ${THARVOK_MAN_OUTPUTS})
if(GZIP)
  execute_process(COMMAND ${GZIP} -9nkf ${THARVOK_PACKAGE_FILES}/changelog)
  install(FILES ${THARVOK_PACKAGE_FILES}/changelog.gz DESTINATION ${THARVOK_DOC_DIR})
  set(THARVOK_MAN_INSTALLED "")
  foreach(page ${THARVOK_MAN_OUTPUTS})
    add_custom_command(OUTPUT ${page}.gz COMMAND ${GZIP} -9nkf ${page} DEPENDS ${page} VERBATIM)
    list(APPEND THARVOK_MAN_INSTALLED ${page}.gz)
  endforeach()
endif()
add_custom_target(tharvok_man ALL DEPENDS ${THARVOK_MAN_INSTALLED})
foreach(page ${THARVOK_MAN_INSTALLED})
  string(REGEX MATCH "\\.([0-9])(\\.gz)?$" section ${page})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${CMAKE_MATCH_1})
endforeach()

# The README, and the guides and pictures it links to, laid out as in the sources so that its
# links hold: share/doc/tharvok/README.md and share/doc/tharvok/docs/.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/copyright
        DESTINATION ${THARVOK_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/worlds.md ${PROJECT_SOURCE_DIR}/docs/development.md
        DESTINATION ${THARVOK_DOC_DIR}/docs)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/pictures/ DESTINATION ${THARVOK_DOC_DIR}/docs/pictures
        FILES_MATCHING PATTERN "*.svg")

set(CPACK_GENERATOR TGZ DEB)
set(CPACK_PACKAGE_NAME tharvok)
set(CPACK_PACKAGE_VENDOR "Tharvok developers")
set(CPACK_PACKAGE_CONTACT "Tharvok developers <developers@tharvok.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small adventure game for the text console")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_FILE_NAME tharvok-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Walk a smiling glyph over colour-coded maps in an 80 x 25 terminal,\n"
    "follow paths from one world to the next, and hold a key to see the time\n"
    "of day. Comes with its adventure of eight worlds, a replay runner that\n"
    "plays the game from a script of keys, and tools for writing worlds.")
# The archive unpacks into a folder of its own; the package installs under /usr (and moves the
# game to /usr/games).
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackageConfig.cmake)
include(CPack)
