# Plays the end-to-end adventure with the real program on Qt's offscreen
# platform and checks its final screen. Variables: VELMORAT, VELMORAT_TOOL,
# FONTS (folder with the two .font files), SOURCE (this folder), WORK.
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
  execute_process(COMMAND ${VELMORAT_TOOL} pack-script ${script} ${data}/${name}.word
                  RESULT_VARIABLE packed)
  if(NOT packed EQUAL 0)
    message(FATAL_ERROR "pack-script ${script} failed")
  endif()
endforeach()
execute_process(COMMAND ${VELMORAT_TOOL} check-script ${data} RESULT_VARIABLE checked
                OUTPUT_VARIABLE report)
if(NOT checked EQUAL 0)
  message(FATAL_ERROR "check-script found problems:\n${report}")
endif()

execute_process(
  COMMAND ${VELMORAT} --headless --bundle ${bundle} --keys ${SOURCE}/play.keys
          --dump-text ${WORK}/screen.txt --dump-window 1 ${WORK}/picture.png
  RESULT_VARIABLE status OUTPUT_FILE ${WORK}/log.txt ERROR_FILE ${WORK}/stderr.txt
  TIMEOUT 60)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "velmorat ended with ${status}; log in ${WORK}/log.txt")
endif()
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
