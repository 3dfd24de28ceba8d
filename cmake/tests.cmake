# The GoogleTest executable of a native or a Windows test build.
# tests/common is built in both, so the same cases run against the stand-in
# platform and, under Wine, against the real system.
include(GoogleTest)

if(WIN32)
  file(GLOB test_sources CONFIGURE_DEPENDS tests/common/*.cpp tests/win32/*.cpp)
  set(CENTINELA_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build for Windows")
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${CENTINELA_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(gtest_main_target gtest_main)
else()
  file(GLOB test_sources CONFIGURE_DEPENDS tests/common/*.cpp tests/native/*.cpp)
  list(APPEND test_sources ${standin_sources})
  find_package(GTest REQUIRED)
  set(gtest_main_target GTest::gtest_main)
endif()

add_executable(centinela_tests ${test_sources})
target_link_libraries(centinela_tests PRIVATE ${centinela_libs} ${gtest_main_target})

if(NOT WIN32)
  gtest_discover_tests(centinela_tests TEST_PREFIX ${CENTINELA_TEST_PREFIX}
    PROPERTIES TIMEOUT 60)
  return()
endif()

# Windows: a throw-away prefix in this build folder, made once per ctest run by
# the setup test and removed by the cleanup test; every Wine run goes through
# cmake/wine-run.sh, which sets the environment and makes sure of a display.
target_link_options(centinela_tests PRIVATE -static)
set(wine_state ${CMAKE_BINARY_DIR}/wine)
set(wine_run ${PROJECT_SOURCE_DIR}/cmake/wine-run.sh ${wine_state})
# Also for any executable target a later add_test names.
set(CMAKE_CROSSCOMPILING_EMULATOR ${wine_run})
set_target_properties(centinela_tests PROPERTIES CROSSCOMPILING_EMULATOR "${wine_run}")

set(wine_fixture ${CENTINELA_TEST_PREFIX}wine-prefix)
add_test(NAME ${CENTINELA_TEST_PREFIX}wine-prefix-setup COMMAND ${wine_run} --setup $<TARGET_FILE:centinela_tests>)
add_test(NAME ${CENTINELA_TEST_PREFIX}wine-prefix-cleanup COMMAND ${wine_run} --cleanup)
set_tests_properties(${CENTINELA_TEST_PREFIX}wine-prefix-setup PROPERTIES
  FIXTURES_SETUP ${wine_fixture} TIMEOUT 300)
set_tests_properties(${CENTINELA_TEST_PREFIX}wine-prefix-cleanup PROPERTIES
  FIXTURES_CLEANUP ${wine_fixture} TIMEOUT 120)

# Cases are listed under Wine when ctest reads the tests (cmake/wine-discover.cmake;
# before the setup test runs, so the wrapper creates the prefix itself if it is
# missing). One lock for all Wine cases of every build: they share the display,
# and one prefix must not serve two at once. CENTINELA_SIBLING_TESTS_DIR names
# the build of the other architecture, whose listing names these cases when this
# one cannot run here.
set(CENTINELA_SIBLING_TESTS_DIR "" CACHE PATH "Windows test build of the other architecture")
set(sibling "")
if(CENTINELA_SIBLING_TESTS_DIR)
  set(sibling_dir ${CENTINELA_SIBLING_TESTS_DIR})
  set(sibling "set(SIBLING_EXE [==[${sibling_dir}/centinela_tests.exe]==])
set(SIBLING_EMULATOR [==[${PROJECT_SOURCE_DIR}/cmake/wine-run.sh;${sibling_dir}/wine]==])
set(SIBLING_LIST_FILE [==[${sibling_dir}/centinela_tests.list]==])
")
endif()
set(discover_include ${CMAKE_CURRENT_BINARY_DIR}/centinela_tests_cases.cmake)
file(GENERATE OUTPUT ${discover_include} CONTENT "set(TEST_EXE [==[$<TARGET_FILE:centinela_tests>]==])
set(EMULATOR [==[${wine_run}]==])
set(TEST_PREFIX [==[${CENTINELA_TEST_PREFIX}]==])
set(LIST_FILE [==[${CMAKE_BINARY_DIR}/centinela_tests.list]==])
set(PROPERTIES TIMEOUT 60 FIXTURES_REQUIRED ${wine_fixture} RESOURCE_LOCK centinela_wine)
${sibling}include([==[${PROJECT_SOURCE_DIR}/cmake/wine-discover.cmake]==])
")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${discover_include})
