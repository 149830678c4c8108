# velmorat_core_library(NAME DIR...) builds every .cpp below the given folders
# into one static library with the repository root as its include path.
function(velmorat_core_library name)
  set(sources)
  foreach(dir IN LISTS ARGN)
    file(GLOB dir_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND sources ${dir_sources})
  endforeach()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
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
