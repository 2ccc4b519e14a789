# One CTest test per GoogleTest suite of a test program.
#
# The cases of a suite share their fixture and run in one process; a CTest test per case started a
# process for each and spent more time starting programs than testing. Failures still name their
# case: GoogleTest prints "[  FAILED  ] Suite.Case" for each, and `ctest --output-on-failure` shows
# it. To run one case: bin/<program> --gtest_filter=Suite.Case.
#
# The suites are listed after each build of the program (like gtest_discover_tests does), so adding
# a suite needs no CMake change.
set(MARLINQ_LIST_SUITES_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/list_suites.cmake)

function(marlinq_add_suite_tests target)
  set(list_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake")
  add_custom_command(
    TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -D PROGRAM=$<TARGET_FILE:${target}> -D TARGET=${target} -D OUT=${list_file}
            -D WORKDIR=${CMAKE_CURRENT_BINARY_DIR} -D TIMEOUT=300 -P ${MARLINQ_LIST_SUITES_SCRIPT}
    BYPRODUCTS ${list_file}
    VERBATIM)
  set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_include.cmake")
  file(WRITE ${include_file}
       "if(EXISTS [==[${list_file}]==])\n"
       "  include([==[${list_file}]==])\n"
       "else()\n"
       "  add_test([==[${target}_NOT_BUILT]==] [==[${target}_NOT_BUILT]==])\n"
       "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()
