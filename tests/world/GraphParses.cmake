# tharvok-world's graph is DOT that Graphviz reads: for each data folder given, the graph is
# drawn with `dot -Tsvg` without an error or a warning.
#   cmake -DWORLD=tharvok-world -DDOT=dot -DOUT=PREFIX -DFOLDERS="DIR|DIR" -P GraphParses.cmake
if(NOT DOT)
  message(FATAL_ERROR "Graphviz's dot is not installed (apt-get install graphviz)")
endif()
string(REPLACE "|" ";" folders "${FOLDERS}")
set(n 0)
foreach(folder IN LISTS folders)
  math(EXPR n "${n} + 1")
  execute_process(COMMAND ${WORLD} graph --data ${folder} OUTPUT_FILE ${OUT}-${n}.dot
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "tharvok-world graph --data ${folder} ended with ${status}")
  endif()
  execute_process(COMMAND ${DOT} -Tsvg ${OUT}-${n}.dot -o ${OUT}-${n}.svg
                  RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0 OR NOT errors STREQUAL "")
    message(FATAL_ERROR "dot could not draw the graph of ${folder} (${OUT}-${n}.dot):\n${errors}")
  endif()
endforeach()
