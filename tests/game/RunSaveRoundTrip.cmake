# A saved game continues exactly where it was saved: plays the first SPLIT
# lines of a key file, looks around ("lese" describes the scene anew, as
# loading does), saves ({Menu 101}) and plays on to the end; then starts the
# program anew with the save on its command line, saves again at once and
# plays the same rest. (Without the look, the second save could differ in the
# result of the last COMPARE, which the scene's first lines compute anew.)
# cmake -DVELMORAT=program -DBUNDLE=dir -DKEYS=file -DOUTPUT=prefix -DSPLIT=n
#       -DEXPECT=text -P RunSaveRoundTrip.cmake
# Checks: the second save equals the first byte for byte (load and save lose
# nothing), both runs reach EXPECT, and both end on the same last lines.
cmake_policy(SET CMP0007 NEW)
foreach(required VELMORAT BUNDLE KEYS OUTPUT SPLIT EXPECT)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "RunSaveRoundTrip.cmake needs -D${required}=...")
  endif()
endforeach()

set(save_file ${OUTPUT}.velmorat)
set(again_file ${OUTPUT}.again.velmorat)
file(REMOVE_RECURSE ${save_file} ${again_file} ${OUTPUT}.state)

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/FirstKeys.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/ScriptChecks.cmake)
velmorat_split_keys(${KEYS} ${SPLIT} before after)
file(WRITE ${OUTPUT}.first.keys "${before}lese\n{Menu 101}${after}")
file(WRITE ${OUTPUT}.second.keys "{Menu 101}${after}")

# run(NAME ARGS...): one headless run; the autosave goes to a folder of its own.
function(run name)
  velmorat_run("velmorat (${name})"
    COMMAND ${CMAKE_COMMAND} -E env XDG_STATE_HOME=${OUTPUT}.state
            ${VELMORAT} --headless --bundle ${BUNDLE} ${ARGN}
            --dump-text ${OUTPUT}.${name}.screen.txt
    OUTPUT_FILE ${OUTPUT}.${name}.log TIMEOUT 1000)
  file(READ ${OUTPUT}.${name}.screen.txt screen)
  set(${name}_screen "${screen}" PARENT_SCOPE)
endfunction()

run(first --keys ${OUTPUT}.first.keys --panel-answer ${save_file})
run(second ${save_file} --keys ${OUTPUT}.second.keys --panel-answer ${again_file})

set(failures)
if(NOT EXISTS ${save_file} OR NOT EXISTS ${again_file})
  list(APPEND failures "a save was not written")
else()
  file(READ ${save_file} saved)
  file(READ ${again_file} saved_again)
  if(NOT saved STREQUAL saved_again)
    list(APPEND failures "the game saved after loading differs from the save it was loaded from")
  endif()
endif()
foreach(name first second)
  string(FIND "${${name}_screen}" "${EXPECT}" found)
  if(found EQUAL -1)
    list(APPEND failures "the ${name} run does not reach \"${EXPECT}\"")
  endif()
endforeach()
string(FIND "${second_screen}" "*** " found)
if(NOT found EQUAL -1)
  list(APPEND failures "the loaded game shows a \"*** \" message")
endif()

# The last ten lines of each screen.
foreach(name first second)
  string(REGEX REPLACE "\n$" "" screen "${${name}_screen}")
  string(REPLACE "\n" ";" screen_lines "${screen}")
  list(LENGTH screen_lines count)
  math(EXPR from "${count} - 10")
  if(from LESS 0)
    set(from 0)
  endif()
  list(SUBLIST screen_lines ${from} 10 ${name}_tail)
endforeach()
if(NOT first_tail STREQUAL second_tail)
  list(APPEND failures "the two runs end on different screens")
endif()

velmorat_report_failures("${KEYS} saved after line ${SPLIT}" "${failures}"
  "first screen:\n${first_screen}\nsecond screen:\n${second_screen}")
message(STATUS "${KEYS} saved after line ${SPLIT}: passed")
