# The adventure's scripts: every game/scripts/DATAnnn.txt (UTF-8, readable and
# diffable) becomes ${VELMORAT_RESOURCES}/Data/DATAnnn.word, the Latin-1,
# LZW-stored form that the engine loads, through velmorat-tool pack-script.
# One scene per file; the file number is the scene number.
set(VELMORAT_SCRIPT_SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/scripts)
set(VELMORAT_SCRIPT_DATA_DIR ${VELMORAT_RESOURCES}/Data)
file(GLOB VELMORAT_SCRIPT_SOURCES CONFIGURE_DEPENDS ${VELMORAT_SCRIPT_SOURCE_DIR}/DATA*.txt)

set(VELMORAT_SCRIPT_OUTPUTS)
foreach(source IN LISTS VELMORAT_SCRIPT_SOURCES)
  get_filename_component(name ${source} NAME_WE)
  set(packed ${VELMORAT_SCRIPT_DATA_DIR}/${name}.word)
  add_custom_command(OUTPUT ${packed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMORAT_SCRIPT_DATA_DIR}
    COMMAND velmorat-tool pack-script ${source} ${packed}
    DEPENDS ${source} velmorat-tool
    COMMENT "Script ${name}.word"
    VERBATIM)
  list(APPEND VELMORAT_SCRIPT_OUTPUTS ${packed})
endforeach()

add_custom_target(velmorat_data ALL DEPENDS ${VELMORAT_SCRIPT_OUTPUTS})
