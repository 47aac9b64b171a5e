# The 32-bit Windows build: cross-builds kestrovan.dll into windows/ of the
# build folder and checks that its only export is _Java_kestrovan_runGLPK@44,
# ordinal 1. Skipped where the cross toolchain cannot be installed.
add_test(NAME windows.exports
  COMMAND ${CMAKE_COMMAND} -E env KESTROVAN_WERROR=$<IF:$<BOOL:${KESTROVAN_WERROR}>,ON,OFF>
    bash ${PROJECT_SOURCE_DIR}/windows/test-exports.sh ${CMAKE_BINARY_DIR}/windows)
set_tests_properties(windows.exports PROPERTIES
  LABELS windows
  SKIP_RETURN_CODE 77
  TIMEOUT 1200)
