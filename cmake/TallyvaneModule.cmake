# Shared build rules for the project's folders.
#
# tv_module(<name> [DEPS <targets>...] [TEST_DEPS <targets>...]
#           [ISOLATED <suites>...] [SHARED])
#   Builds the static library <name> from every *.cpp of the calling folder
#   except *_test.cpp, and the test executable <name>_tests from every
#   *_test.cpp, registered with CTest one test per suite (the suites named in
#   ISOLATED one test per case, each in a process of its own), and from
#   every *_fuzz.cpp a fuzz target (tv_fuzz_target). New files join without
#   editing the folder's CMakeLists.txt.

function(tv_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  # GCC 12 reports false -Wrestrict hits inside std::string at -O2 and above
  # (GCC bug 105329).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(TV_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

set(TV_SUITES_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/TallyvaneSuites.cmake)

if(TV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# libFuzzer steers by the coverage of the code under test, so the libraries
# are instrumented too, not only the fuzz targets.
if(TV_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

function(tv_module name)
  cmake_parse_arguments(M "SHARED" "" "DEPS;TEST_DEPS;ISOLATED" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB fuzzers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_fuzz.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  # Foo_desktop_test.cpp needs a desktop (an X server with a window
  # manager): its own executable, run through tools/desktop-session.sh.
  file(GLOB desktop_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_desktop_test.cpp)
  if(tests)
    list(REMOVE_ITEM sources ${tests})
  endif()
  if(desktop_tests)
    list(REMOVE_ITEM tests ${desktop_tests})
  endif()
  if(fuzzers)
    list(REMOVE_ITEM sources ${fuzzers})
  endif()
  add_library(${name} STATIC ${sources} ${headers})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${M_DEPS})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  tv_set_warnings(${name})
  if(TV_BUILD_TESTS AND tests)
    tv_test(${name}_tests ${tests} DEPS ${name} ${M_TEST_DEPS} ISOLATED ${M_ISOLATED})
  endif()
  if(TV_BUILD_TESTS AND desktop_tests)
    tv_desktop_test(${name}_desktop_tests ${desktop_tests} DEPS ${name} ${M_TEST_DEPS})
  endif()
  foreach(src IN LISTS fuzzers)
    tv_fuzz_target(${name} ${src})
  endforeach()
endfunction()

# tv_fuzz_target(<library> <Foo_fuzz.cpp>)
# A fuzz target (defining LLVMFuzzerTestOneInput) becomes fuzz_Foo with
# TV_FUZZ, and in every build with tests fuzz_replay_Foo: the target built
# with the build's own compiler, flags and sanitizers around
# platform/testing/FuzzReplay.cpp, which CTest runs (test fuzz_replay/Foo)
# over every seed Foo_fuzz.seeds names and every input kept in the folder
# Foo_fuzz.regressions beside it. A target that stops compiling breaks the
# build; a seed or kept input that crashes fails the test.
function(tv_fuzz_target library src)
  get_filename_component(dir ${src} DIRECTORY)
  get_filename_component(fname ${src} NAME_WE)
  string(REGEX REPLACE "_fuzz$" "" fname ${fname})
  if(TV_FUZZ)
    add_executable(fuzz_${fname} ${src})
    target_link_libraries(fuzz_${fname} PRIVATE ${library})
    target_compile_options(fuzz_${fname} PRIVATE -fsanitize=fuzzer)
    target_link_options(fuzz_${fname} PRIVATE -fsanitize=fuzzer)
    set_target_properties(fuzz_${fname} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    tv_set_warnings(fuzz_${fname})
  endif()
  if(TV_BUILD_TESTS)
    set(replay fuzz_replay_${fname})
    add_executable(${replay} ${src} ${CMAKE_SOURCE_DIR}/platform/testing/FuzzReplay.cpp)
    target_link_libraries(${replay} PRIVATE ${library})
    target_compile_definitions(${replay} PRIVATE TV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    set_target_properties(${replay} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz-replay)
    tv_set_warnings(${replay})
    add_test(NAME fuzz_replay/${fname}
      COMMAND ${replay} --seeds ${dir}/${fname}_fuzz.seeds --inputs ${dir}/${fname}_fuzz.regressions
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    set_tests_properties(fuzz_replay/${fname} PROPERTIES TIMEOUT 600 ENVIRONMENT QT_QPA_PLATFORM=offscreen)
  endif()
endfunction()

# tv_test(<name> <sources>... DEPS <targets>... [ISOLATED <suites>...])
# The sanitizers' settings live in the test executables themselves
# (platform/testing/TestMain.cpp), so that they hold however a test is run.
#
# Each suite is one CTest test, its cases run in one process: starting a
# sanitized process that loads Qt for every case cost more than most cases.
# The test list is written when the executable is linked; a suite whose
# cases cannot share a process is named in ISOLATED.
#
# Tests run in the build tree's root, the folder the compiler ran in: a
# compiler cache with a base folder makes __FILE__ relative to it, and tests
# find their data beside their source through __FILE__. A suite's time-out
# leaves room for all its cases on a loaded machine; a hang still ends it.
function(tv_test name)
  cmake_parse_arguments(T "" "" "DEPS;ISOLATED" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_DEPS} tv_test_main GTest::gtest GTest::gmock)
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  tv_set_warnings(${name})
  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_suites.cmake)
  string(REPLACE ";" "," isolated "${T_ISOLATED}")
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND}
      -D TEST_EXECUTABLE=$<TARGET_FILE:${name}>
      -D CTEST_FILE=${list_file}
      "-D ISOLATED=${isolated}"
      -D TIMEOUT=600
      -D ENVIRONMENT=QT_QPA_PLATFORM=offscreen
      -D BINARY_DIR=${CMAKE_BINARY_DIR}
      -P ${TV_SUITES_SCRIPT}
    VERBATIM)
  # Until the executable is built there is nothing to list: ctest then
  # reports one failing test that says so.
  set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_include.cmake)
  file(WRITE ${include_file}
    "if(EXISTS \"${list_file}\")\n"
    "  include(\"${list_file}\")\n"
    "else()\n"
    "  add_test(${name}_NOT_BUILT ${name}_NOT_BUILT)\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()

# tv_desktop_test(<name> <sources>... DEPS <targets>...)
# Runs the executable on a desktop of its own (tools/desktop-session.sh:
# Xvfb and openbox), one CTest test per suite of its sources, so that the
# suites run side by side. A test fails when the desktop cannot be started.
function(tv_desktop_test name)
  cmake_parse_arguments(T "" "" "DEPS" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_DEPS} tv_test_main GTest::gtest GTest::gmock)
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  tv_set_warnings(${name})
  set(suites)
  foreach(source IN LISTS T_UNPARSED_ARGUMENTS)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    file(STRINGS ${source} lines REGEX "^TEST(_F|_P)?\\([A-Za-z0-9_]+,")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^TEST(_F|_P)?\\(([A-Za-z0-9_]+),.*" "\\2" suite "${line}")
      list(APPEND suites ${suite})
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES suites)
  list(LENGTH suites count)
  if(count LESS 2)
    add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/tools/desktop-session.sh $<TARGET_FILE:${name}>
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
    return()
  endif()
  foreach(suite IN LISTS suites)
    add_test(NAME ${name}/${suite}
      COMMAND ${CMAKE_SOURCE_DIR}/tools/desktop-session.sh $<TARGET_FILE:${name}> --gtest_filter=${suite}.*
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
    set_tests_properties(${name}/${suite} PROPERTIES TIMEOUT 600)
  endforeach()
endfunction()
