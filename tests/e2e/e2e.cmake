# Tests of the program as a whole, i686 and x86-64 (included by the top-level
# CMakeLists.txt in the build of centinela.exe).
#   e2e: the real program under Wine on a virtual display, driven from outside
#        with xdotool (tests/e2e/e2e.sh); a screenshot of its main window is
#        left in the build folder.
#   no elevation manifest: without one, Windows Vista and later run the program
#        under file and registry virtualization, which the data file needs.
add_test(NAME ${CENTINELA_TEST_PREFIX}e2e-alert-validate-second-copy-tray
  COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/e2e.sh $<TARGET_FILE:centinela>
          ${CMAKE_BINARY_DIR}/e2e ${CMAKE_BINARY_DIR}/e2e-main-window.png)
# The display and Wine are shared with the other Wine tests.
set_tests_properties(${CENTINELA_TEST_PREFIX}e2e-alert-validate-second-copy-tray PROPERTIES
  TIMEOUT 300 SKIP_RETURN_CODE 77 RESOURCE_LOCK centinela_wine)
# The start-up places after the first six, each planted while the program
# is hidden, then removed with the keys (tests/e2e/places.sh).
add_test(NAME ${CENTINELA_TEST_PREFIX}e2e-later-start-up-places
  COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/e2e.sh $<TARGET_FILE:centinela>
          ${CMAKE_BINARY_DIR}/e2e-places - places)
set_tests_properties(${CENTINELA_TEST_PREFIX}e2e-later-start-up-places PROPERTIES
  TIMEOUT 600 SKIP_RETURN_CODE 77 RESOURCE_LOCK centinela_wine)
add_test(NAME ${CENTINELA_TEST_PREFIX}program-has-no-elevation-manifest
  COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:centinela>
          -P ${PROJECT_SOURCE_DIR}/tests/e2e/check-no-elevation.cmake)

# Hostile entries (a NUL in a name, 1.2 MB of data, names outside the code
# page, trailing dots and blanks), made and checked by a tool of the test's
# that drives the program from another process.
add_executable(hostile_tool tests/e2e/hostile_tool.cpp)
target_compile_options(hostile_tool PRIVATE -Wall -Wextra -Werror)
target_link_libraries(hostile_tool PRIVATE ntdll)
target_link_options(hostile_tool PRIVATE -static-libgcc -static-libstdc++)
set_target_properties(hostile_tool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/e2e-bin)
add_test(NAME ${CENTINELA_TEST_PREFIX}e2e-hostile-names-and-sizes
  COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/hostile.sh $<TARGET_FILE:centinela>
          $<TARGET_FILE:hostile_tool> ${CMAKE_BINARY_DIR}/e2e-hostile)
set_tests_properties(${CENTINELA_TEST_PREFIX}e2e-hostile-names-and-sizes PROPERTIES
  TIMEOUT 300 SKIP_RETURN_CODE 77 RESOURCE_LOCK centinela_wine)

# Dark colour scheme, screen reader, Escape and 144 dpi, on the built program
# (tests/e2e/access.sh); access_tool reads the table through MSAA from its
# own process.
add_executable(access_tool tests/e2e/access_tool.cpp)
target_compile_options(access_tool PRIVATE -Wall -Wextra -Werror)
target_link_libraries(access_tool PRIVATE oleacc oleaut32 ole32)
target_link_options(access_tool PRIVATE -static-libgcc -static-libstdc++)
set_target_properties(access_tool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/e2e-bin)
add_test(NAME ${CENTINELA_TEST_PREFIX}e2e-dark-scheme-screen-reader-escape-dpi
  COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/access.sh $<TARGET_FILE:centinela>
          $<TARGET_FILE:access_tool> ${CMAKE_BINARY_DIR}/e2e-access)
set_tests_properties(${CENTINELA_TEST_PREFIX}e2e-dark-scheme-screen-reader-escape-dpi PROPERTIES
  TIMEOUT 300 SKIP_RETURN_CODE 77 RESOURCE_LOCK centinela_wine)
