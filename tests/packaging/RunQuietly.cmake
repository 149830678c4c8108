# Runs a checker and fails when it reports anything: some (groff,
# desktop-file-validate) print warnings yet end with status 0.
# cmake "-DCOMMAND=program;arg;..." -P RunQuietly.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/ScriptChecks.cmake)
velmorat_run("${COMMAND}" COMMAND ${COMMAND} QUIET)
