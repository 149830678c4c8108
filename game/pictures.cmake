# Pictures of the adventure: every game/pictures/NAME.svg becomes
# ${VELMORAT_RESOURCES}/Data/NAME.gr in two steps,
#   rsvg-convert  NAME.svg -> build/game/pictures/NAME.png   (librsvg2-bin)
#   velmorat-tool png-to-gr NAME.png NAME.gr --format CODE [--dither MODE]
# Each picture is listed below with its format code, so that the game as a
# whole exercises every decoding stage: run-length and LZW layers over 24-bit
# scenes, 4-bit items in plain, packed, run-length and LZW forms and one 8-bit
# grey picture. Items are drawn with palette colour 14 (cyan)
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

# velmorat_picture(NAME FORMAT [DITHER none|ordered|floyd] [USES OTHER.svg...])
# USES names pictures whose drawings this one borrows by reference.
function(velmorat_picture name format)
  cmake_parse_arguments(PARSE_ARGV 2 picture "" "DITHER" "USES")
  set(source ${VELMORAT_PICTURE_SOURCE_DIR}/${name}.svg)
  set(png ${VELMORAT_PICTURE_PNG_DIR}/${name}.png)
  set(gr ${VELMORAT_PICTURE_DATA_DIR}/${name}.gr)
  set(dither_option)
  if(picture_DITHER)
    set(dither_option --dither ${picture_DITHER})
  endif()
  list(TRANSFORM picture_USES PREPEND ${VELMORAT_PICTURE_SOURCE_DIR}/)
  add_custom_command(OUTPUT ${gr}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMORAT_PICTURE_PNG_DIR} ${VELMORAT_PICTURE_DATA_DIR}
    COMMAND ${VELMORAT_RSVG_CONVERT} --format png --output ${png} ${source}
    COMMAND velmorat-tool png-to-gr ${png} ${gr} --format ${format} ${dither_option}
    DEPENDS ${source} ${picture_USES} ${VELMORAT_PICTURE_SHARED} velmorat-tool
    WORKING_DIRECTORY ${VELMORAT_PICTURE_SOURCE_DIR}
    COMMENT "Picture ${name}.gr (format ${format})"
    VERBATIM)
  set(VELMORAT_PICTURE_OUTPUTS ${VELMORAT_PICTURE_OUTPUTS} ${gr} PARENT_SCOPE)
endfunction()

# Scenes (USE names of the scripts): 24-bit under run-length and LZW layers,
# a few left to the encoder's choice. A NAME_offen (or other NAME_...)
# picture shows the scene after a visible change and borrows the groups of
# NAME.svg.
velmorat_picture(prolog 123)
velmorat_picture(tor 123)
velmorat_picture(tor_offen 123 USES tor.svg)
velmorat_picture(hof auto)
velmorat_picture(hof_offen 123 USES hof.svg)
velmorat_picture(halle 123)
velmorat_picture(brunnen 123)
velmorat_picture(brunnen_seil 123)
velmorat_picture(stall 123)
velmorat_picture(galerie auto)
velmorat_picture(galerie_offen 123 USES galerie.svg)
velmorat_picture(bibliothek 123)
velmorat_picture(kueche 123)
velmorat_picture(kueche_schrank 123 USES kueche.svg)
velmorat_picture(kueche_keller 123 USES kueche.svg)
velmorat_picture(kueche_schrank_keller 123 USES kueche.svg)
velmorat_picture(kellerdunkel 123 USES keller.svg)
velmorat_picture(kellerdunkel_offen 123 USES keller.svg kellerdunkel.svg)
velmorat_picture(keller 123)
velmorat_picture(explosion auto USES keller.svg)
velmorat_picture(heuboden 123)
velmorat_picture(arbeitszimmer 123)
velmorat_picture(arbeitszimmer_offen 123 USES arbeitszimmer.svg)
velmorat_picture(sternwarte 123)
velmorat_picture(sternwarte_linse 123 USES sternwarte.svg)
velmorat_picture(sternwarte_zahnrad 123 USES sternwarte.svg)
velmorat_picture(sternwarte_repariert 123 USES sternwarte.svg)
velmorat_picture(sternwarte_offen 123 USES sternwarte.svg)
velmorat_picture(sternwarte_bereit 123 USES sternwarte.svg)
velmorat_picture(komet auto USES sternwarte.svg)
velmorat_picture(garten 123)
velmorat_picture(garten_offen 123 USES garten.svg)
# The answer to an insult: an old photograph in 8-bit grey.
velmorat_picture(form021 122)
# Items: 4-bit in every storage form. They are drawn in muted colours that
# match the scenes; error diffusion mixes them from the sixteen palette
# colours (never into the see-through colour 14).
velmorat_picture(ITEM001 131 DITHER floyd)
velmorat_picture(ITEM002 121 DITHER floyd)
velmorat_picture(ITEM003 111 DITHER floyd)
velmorat_picture(ITEM004 101 DITHER floyd)
velmorat_picture(ITEM005 1 DITHER floyd)
velmorat_picture(ITEM006 11 DITHER floyd)
velmorat_picture(ITEM007 21 DITHER floyd)
velmorat_picture(ITEM008 31 DITHER floyd)
velmorat_picture(ITEM009 131 DITHER floyd)
velmorat_picture(ITEM010 121 DITHER floyd)
velmorat_picture(ITEM011 111 DITHER floyd)
velmorat_picture(ITEM012 131 DITHER floyd)
velmorat_picture(ITEM013 101 DITHER floyd)
velmorat_picture(ITEM014 131 DITHER floyd)

add_custom_target(velmorat_pictures ALL DEPENDS ${VELMORAT_PICTURE_OUTPUTS})
