# The soak test of the program under Wine (tests/soak/soak.sh): a build of it
# whose Timer1 fires every few milliseconds and that answers the test's
# questions (its own entry point, tests/soak/hooks.cpp), run through hundreds
# of ticks while tests/e2e/drive_tool.cpp changes its start-up places; handle
# count and memory must stay put, and the table must end up listing exactly what is there.
# Included from the top-level CMakeLists.txt in the build of centinela.exe,
# after the program's own targets; the shipped program is built as before.

# The program's own sources, flags and runtime; the hooks' entry point in
# place of main.cpp.
# Like the benchmark's timed copies it rescans at every tick, watch or not:
# the soak measures the scan's handles and memory over many rescans, and the
# watches' own promptness is the watch test's (tests/e2e/watch.sh).
centinela_program(centinela_soak MAIN ${PROJECT_SOURCE_DIR}/tests/soak/hooks.cpp
                  SOURCES ${win32ui_sources})
target_compile_definitions(centinela_soak PRIVATE CENTINELA_TIMER1_MS=25)

set_target_properties(centinela_soak PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/soak-bin)

set(soak_test ${CENTINELA_TEST_PREFIX}soak-timer-changes-handles-memory)
add_test(NAME ${soak_test}
  COMMAND ${PROJECT_SOURCE_DIR}/tests/soak/soak.sh $<TARGET_FILE:centinela_soak>
          $<TARGET_FILE:drive_tool> ${CMAKE_BINARY_DIR}/soak)
# The display and Wine are shared with the other Wine tests.
set_tests_properties(${soak_test} PROPERTIES
  TIMEOUT 300 SKIP_RETURN_CODE 77 RESOURCE_LOCK centinela_wine)
