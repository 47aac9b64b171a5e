# Fails unless the library's dynamic symbol table defines exactly one
# function, Java_kestrovan_runGLPK.
# Usage: cmake -DNM=nm -DLIBRARY=libkestrovan.so -P check_exports.cmake
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}: ${errors}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(functions "")
foreach(line IN LISTS lines)
  # "<address> <type> <name>"; T, W and i mark code.
  if(line MATCHES "^[0-9a-fA-F]* +[TtWwi] +(.+)$")
    list(APPEND functions "${CMAKE_MATCH_1}")
  endif()
endforeach()
if(NOT functions STREQUAL "Java_kestrovan_runGLPK")
  message(FATAL_ERROR "expected Java_kestrovan_runGLPK alone among the exported functions, found: "
    "[${functions}]\n${symbols}")
endif()
message(STATUS "exports: ${functions}")
