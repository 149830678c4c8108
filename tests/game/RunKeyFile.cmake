# Plays the adventure headless from a key file and checks what the player saw.
# cmake -DVELMORAT=program [-DBUNDLE=dir] -DKEYS=file -DOUTPUT=prefix
#       [-DEXPECT=text]            text that must stand on the final screen
#       [-DVISIT=000,001,...]      data files that must have run
#       [-DNO_ERRORS=ON -DITEM_COUNT=n]  no "*** " message and no script reload
#                                  (needs BUNDLE)
#       [-DPICTURE=file.gr -DCHECKER=program]  the picture window shows file.gr
#       [-DREGION=x,y,w,h -DBEFORE=file.gr]  ... inside the region only, where
#                                  it differs from BEFORE (a visible change)
#       [-DKEY_LINES=n]            play only the first n lines of KEYS
#       [-DSPLIT=n -DINSERT=keys]  type INSERT after the first n lines of KEYS
#       [-DEXPECT_LOG=file]        lines that the log must hold, in this order
#       [-DEXPECT_SCREEN=text]     a second text for the final screen
#       -P RunKeyFile.cmake
#
# Which data file ran: the log has one "#nnn: Command = line" per executed
# line, where nnn is the line's index, not the file's number. Every file of the
# game starts with the line "REM DATAnnn ...", so "#000: Command = REM DATAnnn"
# marks a run of DATAnnn.
# Without BUNDLE the program plays the resources it finds from its own folder.
foreach(required VELMORAT KEYS OUTPUT)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "RunKeyFile.cmake needs -D${required}=...")
  endif()
endforeach()

set(screen_file ${OUTPUT}.screen.txt)
set(picture_file ${OUTPUT}.window1.png)
set(log_file ${OUTPUT}.log)
file(REMOVE ${screen_file} ${picture_file} ${log_file})
set(bundle_option)
if(DEFINED BUNDLE)
  set(bundle_option --bundle ${BUNDLE})
endif()

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/FirstKeys.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/ScriptChecks.cmake)
set(keys_played ${KEYS})
if(DEFINED KEY_LINES)
  set(keys_played ${OUTPUT}.keys)
  velmorat_first_keys(${KEYS} ${KEY_LINES} ${keys_played})
elseif(DEFINED INSERT)
  velmorat_split_keys(${KEYS} ${SPLIT} before after)
  set(keys_played ${OUTPUT}.keys)
  file(WRITE ${keys_played} "${before}${INSERT}${after}")
endif()

# The autosave of the run goes to a folder of its own.
file(REMOVE_RECURSE ${OUTPUT}.state)
velmorat_run("velmorat --headless"
  COMMAND ${VELMORAT} --headless --state ${OUTPUT}.state ${bundle_option} --keys ${keys_played}
          --dump-text ${screen_file} --dump-window 1 ${picture_file}
  OUTPUT_FILE ${log_file} TIMEOUT 1000)
if(NOT EXISTS ${screen_file})
  message(FATAL_ERROR "velmorat wrote no screen dump ${screen_file}")
endif()
file(READ ${screen_file} screen)
file(READ ${log_file} log)
set(log "\n${log}")

set(failures)
foreach(expected_on_screen IN ITEMS EXPECT EXPECT_SCREEN)
  if(DEFINED ${expected_on_screen})
    string(FIND "${screen}" "${${expected_on_screen}}" found)
    if(found EQUAL -1)
      list(APPEND failures "the final screen lacks \"${${expected_on_screen}}\"")
    endif()
  endif()
endforeach()

if(DEFINED VISIT)
  string(REPLACE "," ";" visit_list "${VISIT}")
  foreach(number IN LISTS visit_list)
    string(FIND "${log}" "\n#000: Command = REM DATA${number} " found)
    if(found EQUAL -1)
      list(APPEND failures "DATA${number}.word never ran")
    endif()
  endforeach()
endif()

# The program thread, left at a wait when the keys are spent, is woken and
# joined before the program ends.
string(FIND "${log}" "The program thread did not end" found)
if(NOT found EQUAL -1)
  list(APPEND failures "the program thread was not joined at the end")
endif()

if(NO_ERRORS)
  if(NOT DEFINED ITEM_COUNT OR NOT DEFINED BUNDLE)
    message(FATAL_ERROR "-DNO_ERRORS=ON needs -DITEM_COUNT=n and -DBUNDLE=dir")
  endif()
  string(FIND "${screen}" "*** " found)
  if(NOT found EQUAL -1)
    list(APPEND failures "the final screen shows a \"*** \" message")
  endif()
  # A "*** " message makes the engine reload the current file after a key; the
  # message itself may have scrolled away, but the reload shows in the log: a
  # file starts from its first line without INPUT (take, drop, look, move),
  # GOTO SCENE or QUIT (a new game) having run just before.
  # The one failure inside INPUT that leaves no trace in the log is a look at
  # an item without its picture (the reload then follows INPUT like a restart
  # after a take): every item picture, and the insult answer, must exist.
  set(pictures form021.gr)
  foreach(item RANGE 1 ${ITEM_COUNT})
    string(LENGTH "${item}" digits)
    math(EXPR padding_length "3 - ${digits}")
    string(REPEAT "0" ${padding_length} padding)
    list(APPEND pictures ITEM${padding}${item}.gr)
  endforeach()
  foreach(picture IN LISTS pictures)
    if(NOT EXISTS ${BUNDLE}/Contents/Resources/Data/${picture})
      list(APPEND failures "the picture ${picture} is missing")
    endif()
  endforeach()
  file(STRINGS ${log_file} commands REGEX "^#[0-9]+: Command = ")
  set(previous "QUIT")
  foreach(command IN LISTS commands)
    string(REGEX REPLACE "^#[0-9]+: Command = " "" statement "${command}")
    if(command MATCHES "^#000: " AND NOT previous MATCHES "^(INPUT|GOTO SCENE|QUIT)")
      list(APPEND failures "a file was reloaded after \"${previous}\" (a \"*** \" message)")
    endif()
    set(previous "${statement}")
  endforeach()
endif()

if(DEFINED EXPECT_LOG)
  # Each line must follow the previous one in the log; a wrong answer to a
  # command shows as the first line not found after its predecessor.
  file(STRINGS ${EXPECT_LOG} expected_lines ENCODING UTF-8)
  set(rest "${log}")
  foreach(expected IN LISTS expected_lines)
    string(FIND "${rest}" "${expected}" found)
    if(found EQUAL -1)
      list(APPEND failures "the log lacks \"${expected}\" (in this order: ${EXPECT_LOG})")
      break()
    endif()
    string(LENGTH "${expected}" length)
    math(EXPR after "${found} + ${length}")
    string(SUBSTRING "${rest}" ${after} -1 rest)
  endforeach()
endif()

set(picture_region)
if(DEFINED REGION)
  set(picture_region ${REGION} ${BEFORE})
endif()
if(DEFINED PICTURE)
  execute_process(COMMAND ${CHECKER} ${PICTURE} ${picture_file} ${picture_region}
                  RESULT_VARIABLE picture_status ERROR_VARIABLE picture_errors)
  if(NOT picture_status EQUAL 0)
    list(APPEND failures "the picture window does not show ${PICTURE}: ${picture_errors}")
  endif()
endif()

velmorat_report_failures("${KEYS}" "${failures}" "screen:\n${screen}")
message(STATUS "${KEYS}: passed")
