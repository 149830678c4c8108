# Pictures of the adventure: every game/pictures/NAME.svg becomes
# ${VELMORAT_RESOURCES}/Data/NAME.gr in two steps,
#   rsvg-convert  NAME.svg -> build/game/pictures/NAME.png   (librsvg2-bin)
#   velmorat-tool png-to-gr NAME.png NAME.gr --format CODE [--dither MODE]
# Each picture is listed below with its format code, so that the game as a
# whole exercises every decoding stage: run-length and LZW layers over 24-bit
# scenes, 4-bit items in plain, packed, run-length and LZW forms, one 1-bit
# and one 8-bit grey picture. Items are drawn with palette colour 14 (cyan)
# transparent, which only 4-bit pixels can honour, so they must stay 4-bit.

find_program(VELMORAT_RSVG_CONVERT rsvg-convert)
if(NOT VELMORAT_RSVG_CONVERT)
  message(WARNING "rsvg-convert not found (Debian: librsvg2-bin): the game's pictures are not built")
  return()
endif()

set(VELMORAT_PICTURE_SOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/pictures)
set(VELMORAT_PICTURE_PNG_DIR ${CMAKE_CURRENT_BINARY_DIR}/pictures)
set(VELMORAT_PICTURE_DATA_DIR ${VELMORAT_RESOURCES}/Data)
# Style sheets and shared drawings that the pictures reference by file name.
file(GLOB VELMORAT_PICTURE_SHARED CONFIGURE_DEPENDS
  ${VELMORAT_PICTURE_SOURCE_DIR}/shared/*.svg ${VELMORAT_PICTURE_SOURCE_DIR}/shared/*.css)
set(VELMORAT_PICTURE_OUTPUTS)

# velmorat_picture(NAME FORMAT [DITHER none|ordered|floyd])
function(velmorat_picture name format)
  set(source ${VELMORAT_PICTURE_SOURCE_DIR}/${name}.svg)
  set(png ${VELMORAT_PICTURE_PNG_DIR}/${name}.png)
  set(gr ${VELMORAT_PICTURE_DATA_DIR}/${name}.gr)
  set(dither_option)
  if(ARGC GREATER 2)
    set(dither_option --dither ${ARGV2})
  endif()
  add_custom_command(OUTPUT ${gr}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMORAT_PICTURE_PNG_DIR} ${VELMORAT_PICTURE_DATA_DIR}
    COMMAND ${VELMORAT_RSVG_CONVERT} --format png --output ${png} ${source}
    COMMAND velmorat-tool png-to-gr ${png} ${gr} --format ${format} ${dither_option}
    DEPENDS ${source} ${VELMORAT_PICTURE_SHARED} velmorat-tool
    WORKING_DIRECTORY ${VELMORAT_PICTURE_SOURCE_DIR}
    COMMENT "Picture ${name}.gr (format ${format})"
    VERBATIM)
  set(VELMORAT_PICTURE_OUTPUTS ${VELMORAT_PICTURE_OUTPUTS} ${gr} PARENT_SCOPE)
endfunction()

include(${VELMORAT_PICTURE_SOURCE_DIR}/pictures.list.cmake)

add_custom_target(velmorat_pictures ALL DEPENDS ${VELMORAT_PICTURE_OUTPUTS})
