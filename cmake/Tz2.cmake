# Helpers shared by the rooms' CMakeLists.

# tz2_add_library(NAME STATIC|SHARED SOURCES... [LIBS ...])
# A library whose headers are included by their path from the source root
# ("collect/GrowArray.h").
function(tz2_add_library name kind)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} ${kind} ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(ARG_LIBS)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  endif()
endfunction()

# tz2_add_plugin(NAME FILENAME SOURCES... LIBS ...)
# A loadable plug-in module staged as plugins/FILENAME (e.g. TZ2_Export.dle).
function(tz2_add_plugin name filename)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  get_filename_component(base ${filename} NAME_WE)
  get_filename_component(ext ${filename} EXT)
  add_library(${name} MODULE ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  # Only the entry points are exported: the module's own copy of the static libraries it
  # links stays private, so it never binds to a program's copy of the same code.
  set_target_properties(${name} PROPERTIES
    PREFIX "" OUTPUT_NAME ${base} SUFFIX ${ext}
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON
    LIBRARY_OUTPUT_DIRECTORY ${TZ2_STAGE_PLUGINS})
  target_link_options(${name} PRIVATE -Wl,--exclude-libs,ALL)
endfunction()

# tz2_add_test(NAME SOURCES... LIBS ...)
# A GoogleTest executable in build/tests, registered with CTest test by test.
function(tz2_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    TZ2_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TZ2_STAGE_DIR="${TZ2_STAGE_DIR}"
    TZ2_MODELS_DIR="${PROJECT_SOURCE_DIR}/../shared/models")
  # GoogleTest's headers are the bulk of every test file: compile them once per executable.
  target_precompile_headers(${name} PRIVATE <gtest/gtest.h> <gmock/gmock.h> <string> <vector>)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endfunction()
