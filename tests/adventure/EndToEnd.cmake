# Scripted play of a small adventure by the real program (velmorat --headless),
# against data packed by velmorat-tool at test time.
add_test(NAME engine_headless_play
  COMMAND ${CMAKE_COMMAND}
    -DVELMORAT=$<TARGET_FILE:velmorat> -DVELMORAT_TOOL=$<TARGET_FILE:velmorat-tool>
    -DFONTS=${VELMORAT_RESOURCES} -DSOURCE=${CMAKE_CURRENT_SOURCE_DIR}/adventure/e2e
    -DWORK=${CMAKE_CURRENT_BINARY_DIR}/engine_headless_play
    -P ${CMAKE_CURRENT_SOURCE_DIR}/adventure/e2e/RunHeadless.cmake)
set_tests_properties(engine_headless_play PROPERTIES TIMEOUT 90
  ENVIRONMENT "XDG_STATE_HOME=${CMAKE_BINARY_DIR}/test-state")
