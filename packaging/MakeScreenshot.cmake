# A screenshot as a player sees the game: the picture window on the left, the
# text window on the right, after the first LINES keys of a walkthrough.
# cmake -DVELMORAT=program -DKEYS=file.keys -DLINES=n -DRSVG=rsvg-convert
#       -DOUTPUT=shot.png -DWORK=dir -P MakeScreenshot.cmake
# WORK receives the keys, the logs and the two window images.
foreach(required VELMORAT KEYS LINES RSVG OUTPUT WORK)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "MakeScreenshot.cmake needs -D${required}=...")
  endif()
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/FirstKeys.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/ScriptChecks.cmake)

set(work ${WORK})
file(MAKE_DIRECTORY ${work})
velmorat_first_keys(${KEYS} ${LINES} ${work}/keys)

velmorat_run("velmorat --headless (the windows for a screenshot)"
  COMMAND ${VELMORAT} --headless --keys ${work}/keys
          --dump-window 0 ${work}/window0.png --dump-window 1 ${work}/window1.png
  OUTPUT_FILE ${work}/run.log TIMEOUT 300)
if(NOT EXISTS ${work}/window0.png OR NOT EXISTS ${work}/window1.png)
  message(FATAL_ERROR "velmorat wrote no window images (log: ${work}/run.log)")
endif()

# The picture window stands at the left edge; the text window, framed by its
# border of 16 black pixels as the game shows it, to its right.
function(png_size file width_var height_var)
  file(READ ${file} header OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${header}" 0 8 width)
  string(SUBSTRING "${header}" 8 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  set(${width_var} ${width} PARENT_SCOPE)
  set(${height_var} ${height} PARENT_SCOPE)
endfunction()
set(border 16)
png_size(${work}/window1.png picture_width picture_height)
png_size(${work}/window0.png text_width text_height)
math(EXPR text_x "${picture_width} + ${border}")
math(EXPR width "${text_x} + ${text_width} + ${border}")
math(EXPR framed_height "${text_height} + 2 * ${border}")
set(height ${picture_height})
if(framed_height GREATER height)
  set(height ${framed_height})
endif()
file(WRITE ${work}/screen.svg "\
<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' \
width='${width}' height='${height}'>
  <rect width='${width}' height='${height}' fill='black'/>
  <image width='${picture_width}' height='${picture_height}' xlink:href='window1.png'/>
  <image x='${text_x}' y='${border}' width='${text_width}' height='${text_height}' xlink:href='window0.png'/>
</svg>
")
velmorat_run("rsvg-convert (laying out the screenshot)"
  COMMAND ${RSVG} --format png --output ${OUTPUT} ${work}/screen.svg)
