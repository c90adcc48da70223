# tv_com_server(<name> <sources>... DEPS <targets>...)
#   Builds the component library lib<name>.so from sources and the static
#   libraries in DEPS. It exports the four entry points and nothing else: its
#   own code is compiled with hidden symbols, the static libraries' symbols
#   stay inside (--exclude-libs), and a version script hides whatever is left.
#   A CTest test checks the exports with `nm -D --defined-only`.

# Cached: components are built in other folders than this one.
set(TV_COM_SERVER_MAP ${CMAKE_CURRENT_LIST_DIR}/ComServer.map CACHE INTERNAL "")
set(TV_COM_EXPORTS_CHECK ${CMAKE_CURRENT_LIST_DIR}/CheckComExports.cmake CACHE INTERNAL "")

function(tv_com_server name)
  cmake_parse_arguments(S "" "" "DEPS" ${ARGN})
  add_library(${name} SHARED ${S_UNPARSED_ARGUMENTS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${S_DEPS})
  set_target_properties(${name} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    AUTOMOC ON
    LINK_DEPENDS ${TV_COM_SERVER_MAP})
  target_link_options(${name} PRIVATE
    -Wl,--exclude-libs,ALL
    -Wl,--version-script=${TV_COM_SERVER_MAP})
  tv_set_warnings(${name})
  # clang's sanitizers in the fuzz build export symbols of their own.
  if(TV_BUILD_TESTS AND NOT TV_FUZZ)
    add_test(NAME com_exports_${name}
      COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DLIBRARY=$<TARGET_FILE:${name}> -P ${TV_COM_EXPORTS_CHECK})
  endif()
endfunction()
