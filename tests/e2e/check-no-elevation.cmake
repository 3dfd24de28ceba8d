# cmake -DEXE=<centinela.exe> -P check-no-elevation.cmake
# A manifest asking for an execution level turns off the file and registry
# virtualization of Windows Vista and later, and a standard user could then
# no longer keep the data file in the Windows folder.
file(STRINGS ${EXE} hits REGEX "requestedExecutionLevel|requestedPrivileges")
if(hits)
  message(FATAL_ERROR "${EXE} carries a manifest with an execution level: ${hits}")
endif()
message("${EXE}: no execution level requested")
