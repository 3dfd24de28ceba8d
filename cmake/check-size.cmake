# cmake -DEXE=<centinela.exe> -DSTRIP=<strip> -DLIMIT=<bytes> [-DMAP=<link map>] -P check-size.cmake
# The program promises to be small; this keeps any change from growing it
# unnoticed. The file is measured as shipped, and must already be stripped.
cmake_minimum_required(VERSION 3.25)

file(SIZE ${EXE} size)
get_filename_component(name ${EXE} NAME)
message("${name}: ${size} bytes, bound ${LIMIT} bytes")

# A copy stripped again must not be smaller, or the figure above is not the
# size of what ships.
set(copy ${EXE}.size-check)
file(COPY_FILE ${EXE} ${copy})
execute_process(COMMAND ${STRIP} ${copy} RESULT_VARIABLE rc)
file(SIZE ${copy} stripped)
file(REMOVE ${copy})
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${STRIP} ${copy} failed (${rc})")
endif()
if(stripped LESS size)
  message(FATAL_ERROR "${name} is not stripped: ${stripped} bytes once stripped")
endif()

if(size GREATER LIMIT)
  # Name what takes the room: the bytes of each object file the linker kept,
  # read from the memory map part of the link map.
  set(report "")
  if(MAP AND EXISTS ${MAP})
    file(READ ${MAP} map)
    string(FIND "${map}" "Linker script and memory map" at)
    if(at GREATER -1)
      string(SUBSTRING "${map}" ${at} -1 map)
    endif()
    string(REGEX MATCHALL "0x[0-9a-f]+ +0x[0-9a-f]+ +[^\n ]+\\.(obj|res|o)\\)?" pieces "${map}")
    set(objects "")
    foreach(piece IN LISTS pieces)
      string(REGEX REPLACE "^0x[0-9a-f]+ +(0x[0-9a-f]+) +(.*)$" "\\1;\\2" fields "${piece}")
      list(GET fields 0 bytes)
      list(GET fields 1 object)
      string(REGEX REPLACE "^.*/" "" object "${object}")
      # Link-time optimisation hands the program's own code over in temporary
      # objects with made-up names.
      string(REGEX REPLACE "^.*\\.ltrans[0-9]*\\.ltrans\\.o$" "(own code, link-time optimised)"
             object "${object}")
      # An import library's stubs count as one.
      string(REGEX REPLACE "^(lib[a-z0-9]+\\.a)\\(lib[a-z0-9_]+(h|t|s[0-9]+)\\.o\\)$" "\\1"
             object "${object}")
      string(MAKE_C_IDENTIFIER "${object}" id)
      if(NOT DEFINED bytes_${id})
        set(bytes_${id} 0)
        list(APPEND objects ${object})
      endif()
      math(EXPR bytes_${id} "${bytes_${id}} + ${bytes}")
    endforeach()
    set(lines "")
    foreach(object IN LISTS objects)
      string(MAKE_C_IDENTIFIER "${object}" id)
      math(EXPR padded "1000000 + ${bytes_${id}}")
      list(APPEND lines "${padded} ${object}")
    endforeach()
    list(SORT lines COMPARE NATURAL ORDER DESCENDING)
    list(SUBLIST lines 0 15 lines)
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^1?0*([0-9]+) " "\\1 " line "${line}")
      string(APPEND report "\n  ${line}")
    endforeach()
    set(report "\nLargest contributors (bytes kept, from ${MAP}):${report}")
  endif()
  message(FATAL_ERROR "${name} is ${size} bytes, above its bound of ${LIMIT}.${report}")
endif()
