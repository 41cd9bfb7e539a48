# add_gauge(<target> DELIVERABLE <name> [ART <panel>] SOURCES <src>... [RC <extra.rc>...])
#
# Every gauge is registered in the global property GAUGES_REGISTERED (the module checks walk it).
# Builds one gauge module <name>.gau into ${CMAKE_BINARY_DIR}/gauges. Its bitmaps are drawn at
# build time by artgen: compiled into the DLL's resources on Windows, and left beside the module
# in gauges/art/<name>/ for the native host.
set(GAUGES_OUT_DIR ${CMAKE_BINARY_DIR}/gauges)

function(gauge_art_dir out deliverable)
  set(${out} ${GAUGES_OUT_DIR}/art/${deliverable} PARENT_SCOPE)
endfunction()

function(add_gauge target)
  cmake_parse_arguments(G "" "DELIVERABLE;ART" "SOURCES;RC" ${ARGN})
  gauge_art_dir(art_dir ${G_DELIVERABLE})
  add_library(${target} SHARED ${G_SOURCES})
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${G_DELIVERABLE} PREFIX "" SUFFIX ".gau"
    LIBRARY_OUTPUT_DIRECTORY ${GAUGES_OUT_DIR}
    RUNTIME_OUTPUT_DIRECTORY ${GAUGES_OUT_DIR}
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_link_libraries(${target} PRIVATE frame gauges_platform gauges_module)
  set_property(GLOBAL APPEND PROPERTY GAUGES_REGISTERED ${target})
  if(GAUGES_WIN32)
    target_sources(${target} PRIVATE ${G_RC} ${PROJECT_SOURCE_DIR}/frame/exports.def)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  else()
    target_link_options(${target} PRIVATE -Wl,--version-script=${PROJECT_SOURCE_DIR}/frame/exports.map)
    # clang leaves its sanitizer runtimes to the executable, so a sanitized module has undefined
    # symbols until it is loaded; every other build proves the module complete on its own.
    if(NOT (GAUGES_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang"))
      target_link_options(${target} PRIVATE -Wl,--no-undefined)
    endif()
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/frame/exports.map)
  endif()
  if(NOT G_ART)
    return()
  endif()
  add_custom_command(
    OUTPUT ${art_dir}/bitmaps.rc
    COMMAND ${CMAKE_COMMAND} -E make_directory ${art_dir}
    COMMAND ${GAUGES_ARTGEN} ${G_ART} ${art_dir}
    DEPENDS ${GAUGES_ARTGEN_TARGET}
    COMMENT "Drawing the ${G_ART} bitmaps"
    VERBATIM)
  add_custom_target(${target}_art DEPENDS ${art_dir}/bitmaps.rc)

  add_dependencies(${target} ${target}_art)
  if(GAUGES_WIN32)
    # The generated bitmaps become the DLL's resources.
    set_source_files_properties(${art_dir}/bitmaps.rc PROPERTIES GENERATED TRUE
      COMPILE_OPTIONS "--include-dir=${art_dir}")
    target_sources(${target} PRIVATE ${art_dir}/bitmaps.rc)
  endif()
endfunction()

# gauge_test(<target> SOURCES <src>... [LIBS <lib>...])
# A GoogleTest executable of ours, run natively or under Wine.
function(gauge_test target)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${T_SOURCES})
  target_link_libraries(${target} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock gauges_warnings gauges_fp)
  target_compile_definitions(${target} PRIVATE
    GAUGES_DIR="${GAUGES_HOST_DIR}" TEST_SOURCE_DIR="${PROJECT_SOURCE_DIR}/tests")
  if(GAUGES_WIN32)
    target_link_options(${target} PRIVATE -static)
  endif()
  if(GAUGES_WIN32 AND NOT GAUGES_RUN_WINE)
    # Built, but nothing here can run it: one visible skip instead of a silent gap.
    add_test(NAME ${target}.under_wine COMMAND ${CMAKE_COMMAND} -E echo
      "skipped: Wine cannot run 32-bit programs on this machine")
    set_tests_properties(${target}.under_wine PROPERTIES SKIP_REGULAR_EXPRESSION "skipped:")
    return()
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "WINEDEBUG=-all" DISCOVERY_TIMEOUT 120)
endfunction()

# Whether the Windows test programs can run here. Wine needs a kernel that runs 32-bit programs;
# some machines (virtual machines without 32-bit support) have none.
if(GAUGES_WIN32 AND NOT DEFINED GAUGES_RUN_WINE)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEDEBUG=-all wine cmd /c exit
    RESULT_VARIABLE _wine_rc OUTPUT_QUIET ERROR_QUIET TIMEOUT 180)
  if(_wine_rc EQUAL 0)
    set(GAUGES_RUN_WINE ON CACHE BOOL "Run the Windows test programs under Wine")
  else()
    set(GAUGES_RUN_WINE OFF CACHE BOOL "Run the Windows test programs under Wine")
    message(WARNING "Wine cannot run 32-bit programs here (${_wine_rc}): the win32 tests are built, not run")
  endif()
endif()

# The gauges folder as the test programs see it: a Windows path under Wine.
if(GAUGES_WIN32)
  set(GAUGES_HOST_DIR "Z:${GAUGES_OUT_DIR}")
else()
  set(GAUGES_HOST_DIR "${GAUGES_OUT_DIR}")
endif()

# The art tool runs at build time, so it is built for the build machine: in the cross build a
# second, native build of art/ makes it (no Wine needed to build the Windows modules).
if(GAUGES_WIN32)
  include(ExternalProject)
  set(_artgen_dir ${CMAKE_BINARY_DIR}/artgen-host)
  ExternalProject_Add(artgen_host
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/art
    BINARY_DIR ${_artgen_dir}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=cc -DCMAKE_CXX_COMPILER=c++
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${_artgen_dir}/artgen)
  set(GAUGES_ARTGEN ${_artgen_dir}/artgen)
  set(GAUGES_ARTGEN_TARGET artgen_host)
else()
  set(GAUGES_ARTGEN $<TARGET_FILE:artgen>)
  set(GAUGES_ARTGEN_TARGET artgen)
endif()
