# The game's two fonts, made from DejaVu Sans Mono (Debian's fonts-dejavu-core)
# by velmorat-tool font-build into the bundle's resources.
set(VELMORAT_FONT_FACES /usr/share/fonts/truetype/dejavu)
set(VELMORAT_FONT_REGULAR "${VELMORAT_RESOURCES}/MenloRegular 16x32.font")
set(VELMORAT_FONT_BOLD "${VELMORAT_RESOURCES}/MenloBold 16x32.font")

add_custom_command(
  OUTPUT ${VELMORAT_FONT_REGULAR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMORAT_RESOURCES}
  COMMAND velmorat-tool font-build ${VELMORAT_FONT_FACES}/DejaVuSansMono.ttf
          ${VELMORAT_FONT_REGULAR} --cell 16x32
  DEPENDS velmorat-tool ${VELMORAT_FONT_FACES}/DejaVuSansMono.ttf
  COMMENT "Building MenloRegular 16x32.font"
  VERBATIM)

add_custom_command(
  OUTPUT ${VELMORAT_FONT_BOLD}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMORAT_RESOURCES}
  COMMAND velmorat-tool font-build ${VELMORAT_FONT_FACES}/DejaVuSansMono-Bold.ttf
          ${VELMORAT_FONT_BOLD} --bold --cell 16x32
  DEPENDS velmorat-tool ${VELMORAT_FONT_FACES}/DejaVuSansMono-Bold.ttf
  COMMENT "Building MenloBold 16x32.font"
  VERBATIM)

add_custom_target(velmorat_fonts ALL DEPENDS ${VELMORAT_FONT_REGULAR} ${VELMORAT_FONT_BOLD})
