# Plays the end-to-end adventure with the real program on Qt's offscreen
# platform and checks its final screen. Variables: VELMORAT, VELMORAT_TOOL,
# FONTS (folder with the two .font files), SOURCE (this folder), WORK.
include(${CMAKE_CURRENT_LIST_DIR}/../../../cmake/ScriptChecks.cmake)
set(bundle ${WORK}/Velmorat.app)
set(data ${bundle}/Contents/Resources/Data)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${data})
file(GLOB fonts "${FONTS}/*.font")
if(NOT fonts)
  message(FATAL_ERROR "no fonts in ${FONTS}: build velmorat_fonts first")
endif()
file(COPY ${fonts} DESTINATION ${bundle}/Contents/Resources)
file(GLOB scripts ${SOURCE}/DATA*.txt)
foreach(script IN LISTS scripts)
  get_filename_component(name ${script} NAME_WE)
  velmorat_run("pack-script ${script}"
    COMMAND ${VELMORAT_TOOL} pack-script ${script} ${data}/${name}.word)
endforeach()
velmorat_run("check-script" COMMAND ${VELMORAT_TOOL} check-script ${data})

velmorat_run("velmorat --headless"
  COMMAND ${VELMORAT} --headless --bundle ${bundle} --keys ${SOURCE}/play.keys
          --dump-text ${WORK}/screen.txt --dump-window 1 ${WORK}/picture.png
  OUTPUT_FILE ${WORK}/log.txt TIMEOUT 60)
file(READ ${WORK}/screen.txt screen)
file(STRINGS ${SOURCE}/expected.txt expected_lines ENCODING UTF-8)
foreach(line IN LISTS expected_lines)
  string(FIND "${screen}" "${line}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "the screen lacks \"${line}\":\n${screen}")
  endif()
endforeach()
file(READ ${WORK}/log.txt log)
string(FIND "${log}" "#000: Command = REM The world" found)
if(found EQUAL -1)
  message(FATAL_ERROR "the log lacks the trace of DATA000.word")
endif()
if(NOT EXISTS ${WORK}/picture.png)
  message(FATAL_ERROR "no picture window image was written")
endif()
