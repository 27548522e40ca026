# Source lists are collected from the folders, so that adding a file to an
# area needs no edit of a shared build file.
function(qv_collect_sources out)
  set(files)
  foreach(dir ${ARGN})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
         "${PROJECT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND files ${found})
  endforeach()
  list(SORT files)
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# One test binary per folder below tests/<top>/: tests/engine/core becomes
# test_engine_core. Every *.cpp in the folder is part of that binary.
function(qv_add_test_dirs top)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB children LIST_DIRECTORIES true "${CMAKE_CURRENT_SOURCE_DIR}/${top}/*")
  list(SORT children)
  foreach(child ${children})
    if(NOT IS_DIRECTORY "${child}")
      continue()
    endif()
    get_filename_component(area "${child}" NAME)
    file(GLOB_RECURSE srcs CONFIGURE_DEPENDS "${child}/*.cpp")
    if(NOT srcs)
      continue()
    endif()
    set(target "test_${top}_${area}")
    add_executable(${target} ${srcs})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
    # Parameterised cases are named by their suites' name generators; the
    # parameter's printed value stays out of the test's name.
    gtest_discover_tests(${target}
      DISCOVERY_MODE PRE_TEST
      NO_PRETTY_VALUES
      WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
      PROPERTIES LABELS "${top}")
  endforeach()
endfunction()
