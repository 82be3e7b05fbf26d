# Read by CPack for each generator: the archive keeps its own folder with bin/ and share/; the
# .deb installs under /usr, with the game in /usr/games as Debian's policy puts games (its data
# is found as ../share/tharvok from there too) and the tools in /usr/bin.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianGames.cmake)
else()
  set(CPACK_PACKAGING_INSTALL_PREFIX /)
endif()
