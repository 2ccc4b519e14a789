# Writes OUT: one add_test() per GoogleTest suite of PROGRAM (run with cmake -P after each build).
#   -D PROGRAM=<test program> -D TARGET=<its target name> -D OUT=<file> -D WORKDIR=<dir> -D TIMEOUT=<s>
cmake_minimum_required(VERSION 3.20)
execute_process(
  COMMAND ${PROGRAM} --gtest_list_tests
  WORKING_DIRECTORY ${WORKDIR}
  OUTPUT_VARIABLE listing
  ERROR_VARIABLE errors
  RESULT_VARIABLE result
  TIMEOUT 60)
if(NOT result EQUAL 0)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "${TARGET}: listing its tests failed (${result}):\n${listing}${errors}")
endif()

string(REPLACE "\n" ";" lines "${listing}")
set(content "")
set(suites "")
foreach(line IN LISTS lines)
  # A suite line starts in the first column: "Suite." or "Prefix/Suite.", perhaps followed by a
  # comment naming a type parameter; the cases below it are indented.
  if(line MATCHES "^([A-Za-z0-9_/]+)\\.")
    set(suite ${CMAKE_MATCH_1})
    if(suite IN_LIST suites)
      continue()
    endif()
    list(APPEND suites ${suite})
    # CTest takes two tests of one name without a word; two programs must not share a suite name.
    string(MAKE_C_IDENTIFIER "${suite}" key)
    string(APPEND content
           "get_property(owner GLOBAL PROPERTY marlinq_suite_${key})\n"
           "if(owner)\n"
           "  message(FATAL_ERROR [==[test suite ${suite} is in two test programs: ]==] \"\${owner}\" [==[ and ${TARGET}]==])\n"
           "endif()\n"
           "set_property(GLOBAL PROPERTY marlinq_suite_${key} [==[${TARGET}]==])\n"
           "add_test([==[${suite}]==] [==[${PROGRAM}]==] [==[--gtest_filter=${suite}.*]==])\n"
           "set_tests_properties([==[${suite}]==] PROPERTIES WORKING_DIRECTORY [==[${WORKDIR}]==]"
           " TIMEOUT ${TIMEOUT} LABELS [==[${TARGET}]==])\n")
  elseif(NOT line MATCHES "^  " AND NOT line STREQUAL "")
    file(REMOVE ${OUT})
    message(FATAL_ERROR "${TARGET}: unexpected line in its test list: ${line}")
  endif()
endforeach()
if(suites STREQUAL "")
  file(REMOVE ${OUT})
  message(FATAL_ERROR "${TARGET}: lists no test suite")
endif()
file(WRITE ${OUT} "${content}")
