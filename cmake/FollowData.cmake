# Makes a folder's config.ini and bin/ follow data/: files that are new or changed there are
# copied, files that data/ no longer holds are removed. Run on every build.
#   cmake -DSOURCE=data -DDEST=build-folder -P FollowData.cmake
cmake_minimum_required(VERSION 3.22)
file(GLOB_RECURSE wanted RELATIVE ${SOURCE} ${SOURCE}/bin/*)
list(APPEND wanted config.ini)
foreach(file IN LISTS wanted)
  get_filename_component(folder ${DEST}/${file} DIRECTORY)
  file(MAKE_DIRECTORY ${folder})
  file(COPY_FILE ${SOURCE}/${file} ${DEST}/${file} ONLY_IF_DIFFERENT)
endforeach()
file(GLOB_RECURSE present RELATIVE ${DEST} ${DEST}/bin/*)
foreach(file IN LISTS present)
  if(NOT file IN_LIST wanted)
    message(STATUS "Removing ${file}, which data/ no longer holds")
    file(REMOVE ${DEST}/${file})
  endif()
endforeach()
