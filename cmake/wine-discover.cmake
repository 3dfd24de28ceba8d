# Read by CTest with this build's tests: lists the cases of a Windows GoogleTest
# program under Wine and adds one test per case. Whatever the listing does, the
# other builds' tests still run: a program that cannot start, or whose listing
# fails, gets one failing test of its own; an i686 program on a kernel that
# cannot run one (the emulator's 77) gets its cases as skipped tests, named
# from the x86-64 build of the same sources where that one lists them.
#
# Set by the including file: TEST_EXE, EMULATOR, TEST_PREFIX, LIST_FILE,
# PROPERTIES, and optionally SIBLING_EXE, SIBLING_EMULATOR, SIBLING_LIST_FILE.

# Lists EXE's cases into NAMES_VAR; RC_VAR gets the listing's exit code.
# A listing is kept beside the program and reused while the program (and this
# script) are older.
function(centinela_list_cases exe emulator list_file names_var rc_var)
  set(${names_var} "" PARENT_SCOPE)
  if(NOT EXISTS "${exe}")
    file(WRITE "${list_file}.log" "${exe} was not built\n")
    set(${rc_var} 1 PARENT_SCOPE)
    return()
  endif()
  if(EXISTS "${list_file}" AND NOT "${exe}" IS_NEWER_THAN "${list_file}"
     AND NOT "${CMAKE_CURRENT_LIST_FILE}" IS_NEWER_THAN "${list_file}")
    file(STRINGS "${list_file}" names)
    if(names)
      set(${names_var} "${names}" PARENT_SCOPE)
      set(${rc_var} 0 PARENT_SCOPE)
      return()
    endif()
  endif()
  execute_process(COMMAND ${emulator} "${exe}" --gtest_list_tests
    OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE rc TIMEOUT 300)
  file(WRITE "${list_file}.log" "${out}")
  if(NOT rc EQUAL 0)
    set(${rc_var} "${rc}" PARENT_SCOPE)
    return()
  endif()
  string(REPLACE "\r" "" out "${out}")
  string(REPLACE ";" "" out "${out}")
  string(REPLACE "\n" ";" lines "${out}")
  set(names "")
  set(suite "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Za-z_][^ ]*)\\.( .*)?$")
      set(suite "${CMAKE_MATCH_1}")
    elseif(suite AND line MATCHES "^  ([A-Za-z_][^ ]*)")
      set(case "${CMAKE_MATCH_1}")
      if(NOT case MATCHES "^DISABLED_" AND NOT suite MATCHES "^DISABLED_")
        list(APPEND names "${suite}.${case}")
      endif()
    endif()
  endforeach()
  if(NOT names)
    file(APPEND "${list_file}.log" "\n(no test cases in this listing)\n")
    set(${rc_var} 1 PARENT_SCOPE)
    return()
  endif()
  list(JOIN names "\n" text)
  file(WRITE "${list_file}" "${text}\n")
  set(${names_var} "${names}" PARENT_SCOPE)
  set(${rc_var} 0 PARENT_SCOPE)
endfunction()

function(centinela_add_cases names)
  foreach(name IN LISTS names)
    add_test("${TEST_PREFIX}${name}" ${EMULATOR} "${TEST_EXE}" "--gtest_filter=${name}")
    set_tests_properties("${TEST_PREFIX}${name}" PROPERTIES ${PROPERTIES} SKIP_RETURN_CODE 77)
  endforeach()
endfunction()

get_filename_component(exe_name "${TEST_EXE}" NAME)
centinela_list_cases("${TEST_EXE}" "${EMULATOR}" "${LIST_FILE}" names rc)
if(rc EQUAL 0)
  centinela_add_cases("${names}")
elseif(rc EQUAL 77)
  file(READ "${LIST_FILE}.log" reason)
  string(STRIP "${reason}" reason)
  message(STATUS "${TEST_PREFIX}: ${reason}")
  set(names "")
  if(SIBLING_EXE)
    centinela_list_cases("${SIBLING_EXE}" "${SIBLING_EMULATOR}" "${SIBLING_LIST_FILE}" names rc)
  endif()
  if(names)
    centinela_add_cases("${names}")
  else()
    # Nothing to name the cases by: one skipped test stands for them all.
    add_test("${TEST_PREFIX}wine-cases" ${EMULATOR} "${TEST_EXE}" --gtest_list_tests)
    set_tests_properties("${TEST_PREFIX}wine-cases" PROPERTIES ${PROPERTIES} SKIP_RETURN_CODE 77)
  endif()
else()
  message(STATUS "${TEST_PREFIX}: listing the cases of ${exe_name} failed (exit ${rc}): see ${LIST_FILE}.log")
  add_test("${TEST_PREFIX}${exe_name}-lists-its-cases"
    bash -c "cat \"$1\"; echo \"listing the cases failed (exit $2)\"; exit 1" listing "${LIST_FILE}.log" "${rc}")
endif()
