# The linker's own script with one change: the constant data goes into the
# section of the import tables, after them, instead of a section of its own.
# Every section is padded to 512 bytes in the file, and the two half-empty
# tails cost a block. The import directory stays at the section's start, where
# the linker points it; the tables were always in a writable section.
# Included by the top-level CMakeLists.txt for the shipped program; sets
# CENTINELA_LINKER_SCRIPT.
find_program(CENTINELA_LD ${CENTINELA_MINGW_TRIPLE}-ld REQUIRED)
execute_process(COMMAND ${CENTINELA_LD} --verbose OUTPUT_VARIABLE verbose RESULT_VARIABLE rc)
string(FIND "${verbose}" "==================================================" first)
if(NOT rc EQUAL 0 OR first EQUAL -1)
  message(FATAL_ERROR "${CENTINELA_LD} --verbose gave no linker script")
endif()
math(EXPR first "${first} + 50")
string(SUBSTRING "${verbose}" ${first} -1 script)
string(FIND "${script}" "==================================================" last)
string(SUBSTRING "${script}" 0 ${last} script)

# Takes the output section NAME out of `script`; its body goes to `out`.
function(take_section name out)
  string(REGEX MATCH "\n  \\${name} BLOCK\\(__section_alignment__\\) :\n  {\n([^}]*)\n  }\n" whole
         "${script}")
  if(NOT whole)
    message(FATAL_ERROR "the linker script has no ${name} section of the expected shape")
  endif()
  set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  string(REPLACE "${whole}" "\n" rest "${script}")
  set(script "${rest}" PARENT_SCOPE)
endfunction()

take_section(.idata imports)
# The marker where .rdata was, so that the merged section keeps its place.
string(REGEX REPLACE "\n  \\.rdata BLOCK\\(__section_alignment__\\) :\n  {\n([^}]*)\n  }\n"
       "\n@MERGED@\n" script "${script}")
set(constants "${CMAKE_MATCH_1}")
if(NOT constants)
  message(FATAL_ERROR "the linker script has no .rdata section of the expected shape")
endif()
string(REPLACE "@MERGED@"
       "  .idata BLOCK(__section_alignment__) :\n  {\n${imports}\n${constants}\n  }" script
       "${script}")
set(CENTINELA_LINKER_SCRIPT ${CMAKE_BINARY_DIR}/centinela.ld)
file(WRITE ${CENTINELA_LINKER_SCRIPT} "${script}")
