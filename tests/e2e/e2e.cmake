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

# What the scripts cannot do with xdotool or wine reg, done by a tool of the
# tests' from another process (tests/e2e/drive_tool.cpp); the soak test uses
# it too. Vista's registry views, ntdll's value and system calls, MSAA.
add_executable(drive_tool tests/e2e/drive_tool.cpp)
target_include_directories(drive_tool PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(drive_tool PRIVATE -Wall -Wextra -Werror)
target_compile_definitions(drive_tool PRIVATE WINVER=0x0600 _WIN32_WINNT=0x0600)
target_link_libraries(drive_tool PRIVATE psapi advapi32 user32 ntdll oleacc oleaut32 ole32)
target_link_options(drive_tool PRIVATE -static-libgcc -static-libstdc++)
set_target_properties(drive_tool PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/e2e-bin)

# Hostile entries (a NUL in a name, 1.2 MB of data, names outside the code
# page, trailing dots and blanks), made by the tool and driven with xdotool.
add_test(NAME ${CENTINELA_TEST_PREFIX}e2e-hostile-names-and-sizes
  COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/hostile.sh $<TARGET_FILE:centinela>
          $<TARGET_FILE:drive_tool> ${CMAKE_BINARY_DIR}/e2e-hostile)
set_tests_properties(${CENTINELA_TEST_PREFIX}e2e-hostile-names-and-sizes PROPERTIES
  TIMEOUT 300 SKIP_RETURN_CODE 77 RESOURCE_LOCK centinela_wine)

# Dark colour scheme, screen reader, Escape and 144 dpi, on the built program
# (tests/e2e/access.sh); the tool reads the table through MSAA from its own
# process.
add_test(NAME ${CENTINELA_TEST_PREFIX}e2e-dark-scheme-screen-reader-escape-dpi
  COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/access.sh $<TARGET_FILE:centinela>
          $<TARGET_FILE:drive_tool> ${CMAKE_BINARY_DIR}/e2e-access)
set_tests_properties(${CENTINELA_TEST_PREFIX}e2e-dark-scheme-screen-reader-escape-dpi PROPERTIES
  TIMEOUT 300 SKIP_RETURN_CODE 77 RESOURCE_LOCK centinela_wine)

# Several rows validated at once with Ctrl+A, and "Iniciar con Windows" from
# the tray menu through a logon (tests/e2e/inicio.sh).
add_test(NAME ${CENTINELA_TEST_PREFIX}e2e-several-rows-start-with-windows
  COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/inicio.sh $<TARGET_FILE:centinela>
          $<TARGET_FILE:drive_tool> ${CMAKE_BINARY_DIR}/e2e-inicio)
set_tests_properties(${CENTINELA_TEST_PREFIX}e2e-several-rows-start-with-windows PROPERTIES
  TIMEOUT 300 SKIP_RETURN_CODE 77 RESOURCE_LOCK centinela_wine)

# Changes noticed as they happen, hidden: a Run value, a Startup file and a
# value in a key made after the start each alert within 2 s; nothing changing
# for 30 s, no registry call; 150 values at once, one alert (tests/e2e/watch.sh).
add_test(NAME ${CENTINELA_TEST_PREFIX}e2e-watch-alerts-at-once-idle-reads-nothing
  COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/watch.sh $<TARGET_FILE:centinela>
          $<TARGET_FILE:drive_tool> ${CMAKE_BINARY_DIR}/e2e-watch)
set_tests_properties(${CENTINELA_TEST_PREFIX}e2e-watch-alerts-at-once-idle-reads-nothing PROPERTIES
  TIMEOUT 300 SKIP_RETURN_CODE 77 RESOURCE_LOCK centinela_wine)
