# Run by CPack for the .deb after the files are staged: the game moves from usr/bin to usr/games.
file(GLOB_RECURSE games LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/usr/bin/tharvok"
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/tharvok")
foreach(game ${games})
  get_filename_component(bin ${game} DIRECTORY)
  get_filename_component(usr ${bin} DIRECTORY)
  file(MAKE_DIRECTORY ${usr}/games)
  file(RENAME ${game} ${usr}/games/tharvok)
endforeach()
