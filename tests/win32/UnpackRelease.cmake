# Packs the release ZIP of the build in BUILD_DIR and unpacks it into UNPACK_DIR.
#   cmake -D BUILD_DIR=... -D UNPACK_DIR=... -D PACKAGE_NAME=... -D START_WORLD=STEM
#         -P UnpackRelease.cmake
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G ZIP WORKING_DIRECTORY ${BUILD_DIR}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed (${status})")
endif()
set(zip ${BUILD_DIR}/package/${PACKAGE_NAME}.zip)
if(NOT EXISTS ${zip})
  message(FATAL_ERROR "no ${zip}")
endif()
file(REMOVE_RECURSE ${UNPACK_DIR})
file(MAKE_DIRECTORY ${UNPACK_DIR})
file(ARCHIVE_EXTRACT INPUT ${zip} DESTINATION ${UNPACK_DIR})
foreach(part tharvok.exe tharvok-replay.exe tharvok-world.exe config.ini bin/world/${START_WORLD}.wgf)
  if(NOT EXISTS ${UNPACK_DIR}/${PACKAGE_NAME}/${part})
    message(FATAL_ERROR "the ZIP has no ${PACKAGE_NAME}/${part}")
  endif()
endforeach()
