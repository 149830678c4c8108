# The application icon: a square cut from the winning picture (komet.svg), the
# comet over the head of the great telescope. rsvg-convert writes the cut as a
# self-contained SVG (the picture's shared drawings and style sheet resolved),
# then renders every PNG size of the hicolor theme from that SVG.
if(NOT VELMORAT_RSVG_CONVERT)
  message(WARNING "rsvg-convert not found (Debian: librsvg2-bin): the icons are not built")
  return()
endif()
set(picture_sources ${CMAKE_SOURCE_DIR}/game/pictures)
set(VELMORAT_ICON_SOURCE ${picture_sources}/komet.svg)
file(GLOB shared_drawings CONFIGURE_DEPENDS ${picture_sources}/shared/*)
set(VELMORAT_ICON_DEPENDS ${VELMORAT_ICON_SOURCE} ${picture_sources}/sternwarte.svg ${shared_drawings})
# The cut in picture pixels (the picture is 1280 x 800).
set(VELMORAT_ICON_LEFT 430)
set(VELMORAT_ICON_TOP 0)
set(VELMORAT_ICON_SIDE 400)
set(VELMORAT_ICON_SIZES 16 22 24 32 48 64 128 256 512)

set(icon_root ${CMAKE_CURRENT_BINARY_DIR}/icons)
set(icon_svg ${icon_root}/scalable/apps/${VELMORAT_APP_ID}.svg)
add_custom_command(OUTPUT ${icon_svg}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_root}/scalable/apps
  COMMAND ${VELMORAT_RSVG_CONVERT} --format svg --page-width ${VELMORAT_ICON_SIDE}
          --page-height ${VELMORAT_ICON_SIDE} --left=-${VELMORAT_ICON_LEFT}
          --top=-${VELMORAT_ICON_TOP} --output ${icon_svg} ${VELMORAT_ICON_SOURCE}
  DEPENDS ${VELMORAT_ICON_DEPENDS}
  COMMENT "Icon ${VELMORAT_APP_ID}.svg"
  VERBATIM)
set(icon_files ${icon_svg})
foreach(size IN LISTS VELMORAT_ICON_SIZES)
  set(icon_png ${icon_root}/${size}x${size}/apps/${VELMORAT_APP_ID}.png)
  add_custom_command(OUTPUT ${icon_png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_root}/${size}x${size}/apps
    COMMAND ${VELMORAT_RSVG_CONVERT} --format png --width ${size} --height ${size}
            --output ${icon_png} ${icon_svg}
    DEPENDS ${icon_svg}
    COMMENT "Icon ${size}x${size}"
    VERBATIM)
  list(APPEND icon_files ${icon_png})
endforeach()
add_custom_target(velmorat_icons ALL DEPENDS ${icon_files})
install(DIRECTORY ${icon_root}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
