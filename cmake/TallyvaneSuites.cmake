# Run after a test executable is linked (cmake -P): lists its tests and writes
# a CTest file that adds one test per suite, so that the cases of a suite
# share one process instead of each starting a sanitized process that loads
# Qt. Suites named in ISOLATED get one test per case instead.
#
# A suite is named by its own name; a name that another executable of the
# build already uses stops the build, as CTest would run both under one name.
#
# Variables: TEST_EXECUTABLE, CTEST_FILE, ISOLATED (","-separated suites),
# TIMEOUT (seconds per CTest test), ENVIRONMENT, BINARY_DIR (the build tree,
# where every executable leaves its list of suites, and the tests' working
# folder).

cmake_minimum_required(VERSION 3.25)

string(REPLACE "," ";" ISOLATED "${ISOLATED}")

execute_process(
  COMMAND "${TEST_EXECUTABLE}" --gtest_list_tests
  OUTPUT_VARIABLE listing
  ERROR_VARIABLE errors
  RESULT_VARIABLE status
  TIMEOUT 60)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${TEST_EXECUTABLE} --gtest_list_tests failed (${status}):\n${errors}${listing}")
endif()

# The listing is "Suite." lines, each followed by "  Case" lines; typed and
# value-parameterised tests add "  # TypeParam = ..." comments.
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(suites "")
set(suite "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "#.*" "" line "${line}")
  string(STRIP "${line}" stripped)
  if(stripped STREQUAL "")
    continue()
  endif()
  if(line MATCHES "^[^ ]")
    string(REGEX REPLACE "\\.$" "" suite "${stripped}")
    list(APPEND suites "${suite}")
    set(cases_${suite} "")
  elseif(NOT suite STREQUAL "")
    list(APPEND cases_${suite} "${stripped}")
  endif()
endforeach()

function(quote out value)
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\"" "\\\"" value "${value}")
  string(REPLACE "$" "\\$" value "${value}")
  string(REPLACE ";" "\\;" value "${value}")
  set(${out} "\"${value}\"" PARENT_SCOPE)
endfunction()

quote(exe "${TEST_EXECUTABLE}")
quote(env "${ENVIRONMENT}")
quote(workdir "${BINARY_DIR}")
set(script "# Written by TallyvaneSuites.cmake from ${TEST_EXECUTABLE}; do not edit.\n")
function(add_one name filter disabled)
  quote(qname "${name}")
  quote(qfilter "--gtest_filter=${filter}")
  string(APPEND script "add_test(${qname} ${exe} ${qfilter})\n")
  string(APPEND script "set_tests_properties(${qname} PROPERTIES TIMEOUT ${TIMEOUT} ENVIRONMENT ${env} WORKING_DIRECTORY ${workdir}")
  if(disabled)
    string(APPEND script " DISABLED TRUE")
  endif()
  string(APPEND script ")\n")
  set(script "${script}" PARENT_SCOPE)
endfunction()

set(unknown "${ISOLATED}")
foreach(suite IN LISTS suites)
  list(REMOVE_ITEM unknown "${suite}")
  # gtest skips DISABLED_ cases by itself; a suite with nothing else is
  # reported as disabled rather than as a pass that ran nothing.
  set(all_disabled TRUE)
  if(suite MATCHES "(^|/)DISABLED_")
    set(all_disabled TRUE)
  else()
    foreach(case IN LISTS cases_${suite})
      if(NOT case MATCHES "^DISABLED_")
        set(all_disabled FALSE)
      endif()
    endforeach()
  endif()
  if("${suite}" IN_LIST ISOLATED)
    foreach(case IN LISTS cases_${suite})
      set(off FALSE)
      if(all_disabled OR case MATCHES "^DISABLED_")
        set(off TRUE)
      endif()
      add_one("${suite}.${case}" "${suite}.${case}" ${off})
    endforeach()
  else()
    add_one("${suite}" "${suite}.*" ${all_disabled})
  endif()
endforeach()
if(unknown)
  message(FATAL_ERROR "ISOLATED names suites that ${TEST_EXECUTABLE} does not have: ${unknown}")
endif()

set(names_file "${CTEST_FILE}.names")
file(GLOB_RECURSE others "${BINARY_DIR}/*_suites.cmake.names")
list(REMOVE_ITEM others "${names_file}")
foreach(other IN LISTS others)
  file(STRINGS "${other}" taken)
  foreach(suite IN LISTS suites)
    if("${suite}" IN_LIST taken)
      message(FATAL_ERROR "Suite ${suite} of ${TEST_EXECUTABLE} has the name of a suite listed in ${other}: rename one of them.")
    endif()
  endforeach()
endforeach()
string(REPLACE ";" "\n" names "${suites}")
file(WRITE "${names_file}" "${names}\n")

file(WRITE "${CTEST_FILE}.new" "${script}")
file(RENAME "${CTEST_FILE}.new" "${CTEST_FILE}")
