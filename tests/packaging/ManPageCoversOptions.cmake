# A manual page documents exactly the options its program has: every
# --option and command that the program's help names stands in the page, and
# every --option of the page is still in the help.
# cmake -DPAGE=file.1 "-DHELP=program;--help" [-DCOMMANDS=ON] -P ManPageCoversOptions.cmake
# With COMMANDS, the help lists commands ("  name  summary"); the help of
# each command ("program name --help") is read for its options as well.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/ScriptChecks.cmake)
velmorat_run("${HELP}" COMMAND ${HELP} OUTPUT_VARIABLE help)
file(READ ${PAGE} page)
# roff writes a hyphen as "\-".
string(REPLACE "\\-" "-" page "${page}")

set(named)
if(COMMANDS)
  list(GET HELP 0 program)
  string(REGEX MATCHALL "\n  [a-z][a-z0-9-]+ " command_lines "${help}")
  foreach(line IN LISTS command_lines)
    string(STRIP "${line}" command)
    list(APPEND named ${command})
    velmorat_run("${program} ${command} --help" COMMAND ${program} ${command} --help
      OUTPUT_VARIABLE command_help)
    string(APPEND help "\n${command_help}")
  endforeach()
endif()
string(REGEX MATCHALL "--[a-z][a-z0-9-]*" help_options "${help}")
list(APPEND named ${help_options})
list(REMOVE_DUPLICATES named)

set(failures)
foreach(name IN LISTS named)
  string(FIND "${page}" "${name}" found)
  if(found EQUAL -1)
    list(APPEND failures "${name} is not documented")
  endif()
endforeach()
string(REGEX MATCHALL "--[a-z][a-z0-9-]*" page_options "${page}")
list(REMOVE_DUPLICATES page_options)
foreach(option IN LISTS page_options)
  if(NOT option IN_LIST help_options)
    list(APPEND failures "${option} is documented but the program does not know it")
  endif()
endforeach()
velmorat_report_failures("${PAGE}" "${failures}")
