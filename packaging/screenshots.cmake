# Screenshots for the AppStream data (packaging/velmorat.metainfo.xml.in): the
# headless program plays the first keys of the walkthrough and dumps its
# windows. They are published at VELMORAT_SCREENSHOT_URL, not installed.
# Sanitizer trees are for testing, not for releases: they make none.
if(NOT VELMORAT_RSVG_CONVERT OR VELMORAT_SANITIZE OR VELMORAT_TSAN)
  return()
endif()
set(screenshot_dir ${CMAKE_CURRENT_BINARY_DIR}/screenshots)
set(screenshot_files)
# The screens show the game's texts and pictures: new ones make new screenshots.
file(GLOB screenshot_sources CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/game/scripts/*.txt ${CMAKE_SOURCE_DIR}/game/pictures/*.svg)
# velmorat_screenshot(NAME LINES): after LINES keys of game/tests/walkthrough.keys.
function(velmorat_screenshot name lines)
  set(output ${screenshot_dir}/velmorat-${name}.png)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${screenshot_dir}
    COMMAND ${CMAKE_COMMAND} -DVELMORAT=$<TARGET_FILE:velmorat>
            -DKEYS=${CMAKE_SOURCE_DIR}/game/tests/walkthrough.keys -DLINES=${lines}
            -DRSVG=${VELMORAT_RSVG_CONVERT} -DOUTPUT=${output}
            -DWORK=${CMAKE_CURRENT_BINARY_DIR}/screenshot-work/${name}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/MakeScreenshot.cmake
    DEPENDS velmorat velmorat_sysbeep velmorat_fonts velmorat_data velmorat_pictures
            ${CMAKE_SOURCE_DIR}/game/tests/walkthrough.keys ${screenshot_sources}
            ${CMAKE_CURRENT_SOURCE_DIR}/MakeScreenshot.cmake ${CMAKE_SOURCE_DIR}/cmake/FirstKeys.cmake
            ${CMAKE_SOURCE_DIR}/cmake/ScriptChecks.cmake
    COMMENT "Screenshot velmorat-${name}.png"
    VERBATIM)
  set(screenshot_files ${screenshot_files} ${output} PARENT_SCOPE)
endfunction()

# At the gate, after the prologue; in the hall with the music automaton.
velmorat_screenshot(tor 2)
velmorat_screenshot(halle 18)
add_custom_target(velmorat_screenshots ALL DEPENDS ${screenshot_files})
