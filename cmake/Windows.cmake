# The Windows build: the program's resources (icon and version), the real console in the replay
# runner, GoogleTest for a cross build, and the release ZIP. Included by the top-level
# CMakeLists.txt after the targets are defined; does nothing elsewhere.
if(NOT WIN32)
  return()
endif()

enable_language(RC)

# The icon is drawn by a script at build time; the resource script names it and the version.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(THARVOK_ICON_FILE ${PROJECT_BINARY_DIR}/resources/tharvok.ico)
add_custom_command(
  OUTPUT ${THARVOK_ICON_FILE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/resources
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/icon/make_icon.py ${THARVOK_ICON_FILE}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/icon/make_icon.py
  COMMENT "Drawing the program icon")
add_custom_target(tharvok_icon DEPENDS ${THARVOK_ICON_FILE})
configure_file(${PROJECT_SOURCE_DIR}/src/platform/win32/tharvok.rc.in
               ${PROJECT_BINARY_DIR}/resources/tharvok.rc @ONLY)
set_source_files_properties(${PROJECT_BINARY_DIR}/resources/tharvok.rc PROPERTIES OBJECT_DEPENDS
                                                                            ${THARVOK_ICON_FILE})
if(TARGET tharvok)
  target_sources(tharvok PRIVATE ${PROJECT_BINARY_DIR}/resources/tharvok.rc)
  add_dependencies(tharvok tharvok_icon)
endif()

# The replay runner can draw into the real console: `tharvok-replay --console win32`.
if(TARGET tharvok_host)
  target_sources(tharvok_replay PRIVATE ${PROJECT_SOURCE_DIR}/tools/replay/Win32ReplayConsole.cpp)
  target_link_libraries(tharvok_replay PUBLIC tharvok_host)
endif()

# A cross build finds no GoogleTest for the target: build it from the sources Debian ships
# (package googletest), and let find_package(GTest) take the targets made here.
if(THARVOK_TESTS AND CMAKE_CROSSCOMPILING)
  set(THARVOK_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
  if(NOT EXISTS ${THARVOK_GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${THARVOK_GTEST_SOURCE_DIR} "
                        "(apt-get install googletest)")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${THARVOK_GTEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(THARVOK_GTEST_PACKAGE_DIR ${PROJECT_BINARY_DIR}/gtest-package)
  file(WRITE ${THARVOK_GTEST_PACKAGE_DIR}/GTestConfig.cmake
       "# GTest::gtest and GTest::gtest_main are built from source in this build.\n")
  set(GTest_DIR ${THARVOK_GTEST_PACKAGE_DIR} CACHE PATH "" FORCE)
  # Test programs are listed when the tests run (under the emulator), not at build time, so that
  # building needs no wine.
  set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
endif()

# The release: a ZIP that unpacks into a folder where a double-click on tharvok.exe starts the
# game (config.ini and bin\world\ beside it).
if(TARGET tharvok)
  install(TARGETS tharvok tharvok-replay tharvok-world RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/data/config.ini DESTINATION .)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/bin/ DESTINATION bin)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Tharvok)
  set(CPACK_PACKAGE_VENDOR "Tharvok developers")
  set(THARVOK_PACKAGE_NAME tharvok-${PROJECT_VERSION}-win64)
  set(CPACK_PACKAGE_FILE_NAME ${THARVOK_PACKAGE_NAME})
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
endif()
