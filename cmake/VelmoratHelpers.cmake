# velmorat_layer_includes(TARGET FOLDER) puts FOLDER, and nothing else of the
# repository, on TARGET's include path: a folder of the build tree whose one
# entry links to FOLDER, so that includes keep naming their subsystem
# ("toolbox/core/Window.h"). The folders of lower layers come with the
# libraries TARGET links, so an include of a layer it does not link fails to
# compile; the link lines are the layer map (ARCHITECTURE.md).
function(velmorat_layer_includes target folder)
  string(REPLACE "/" "_" view_name ${folder})
  set(view ${CMAKE_BINARY_DIR}/layer-includes/${view_name})
  get_filename_component(parent ${view}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${view}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${view})
endfunction()

# velmorat_core_library(NAME DIR) builds every .cpp of the folder DIR into one
# static library that sees DIR and what it links.
function(velmorat_core_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  add_library(${name} STATIC ${sources})
  velmorat_layer_includes(${name} ${dir})
endfunction()

# velmorat_test_area(AREA LIBS...) makes one GoogleTest program of tests/AREA/*.cpp.
function(velmorat_test_area area)
  file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${area}/*.cpp)
  if(NOT test_sources)
    return()
  endif()
  set(target tests_${area})
  add_executable(${target} ${test_sources})
  target_link_libraries(${target} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${target} PRIVATE
    VELMORAT_SOURCE_DIR="${CMAKE_SOURCE_DIR}" VELMORAT_BINARY_DIR="${CMAKE_BINARY_DIR}")
  # Games played by tests keep their last state in the build tree, not in the
  # home folder. The label names the program, so that a run can pick programs
  # (make test-tsan). One variable only: the discovered tests' properties are
  # written out as a list, and a second variable would split from the first.
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "XDG_STATE_HOME=${CMAKE_BINARY_DIR}/test-state" LABELS ${target})
endfunction()
