# cmake -DOBJDUMP=<objdump> -DEXE=<centinela.exe> -P check-imports.cmake
# The program must start on any Windows as it is: it may import only from DLLs
# every version ships (msvcrt.dll is not one: a retail Windows 95 lacks it),
# and it must be a GUI-subsystem executable.
cmake_minimum_required(VERSION 3.25)
set(allowed kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll comctl32.dll)

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed (${rc})")
endif()

string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
set(imported "")
set(foreign "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  list(APPEND imported ${dll})
  if(NOT dll IN_LIST allowed)
    list(APPEND foreign ${dll})
  endif()
endforeach()

file(SIZE ${EXE} size)
message("${EXE}: ${size} bytes, imports: ${imported}")
if(NOT imported)
  message(FATAL_ERROR "no import table found")
endif()
if(foreign)
  message(FATAL_ERROR "imports from DLLs outside the system set: ${foreign}")
endif()
if(NOT dump MATCHES "\nSubsystem[ \t]+0*2[ \t]")
  string(REGEX MATCH "\nSubsystem[^\n]*" subsystem "${dump}")
  message(FATAL_ERROR "not a Windows GUI executable:${subsystem}")
endif()
