# Runs a checker and fails when it reports anything: some (groff,
# desktop-file-validate) print warnings yet end with status 0.
# cmake "-DCOMMAND=program;arg;..." -P RunQuietly.cmake
execute_process(COMMAND ${COMMAND} OUTPUT_VARIABLE output ERROR_VARIABLE errors
  RESULT_VARIABLE status)
string(STRIP "${errors}" errors)
if(NOT status EQUAL 0 OR NOT errors STREQUAL "")
  message(FATAL_ERROR "${COMMAND} (status ${status}):\n${errors}")
endif()
