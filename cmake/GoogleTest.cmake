# GoogleTest is built from the Debian sources with our own compiler, so the same
# suites run natively, under the sanitizers and cross-compiled under Wine.
set(LUMARA_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${LUMARA_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

# One test executable per folder of tests, registered with ctest case by case.
function(lumara_test_suite name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  lumara_strict(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE LUMARA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                              LUMARA_REALDATA_DIR="${LUMARA_REALDATA_DIR}")
  if(LUMARA_WIN64_STANDIN OR (CMAKE_CROSSCOMPILING AND NOT LUMARA_WINE_TESTS))
    # The x86_64 stand-in checks the Windows glue only: building the core suites for it too
    # doubled its cost, for code the native suites already cover.
    return()
  elseif(CMAKE_CROSSCOMPILING)
    # Discover at test time, after the test script has warmed the Wine prefix.
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                         PROPERTIES ENVIRONMENT "TZ=JST-9")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "TZ=JST-9")
  endif()
endfunction()
