# Fails when the program loads at its start a library beyond the ones every Windows program
# loads anyway: everything else is loaded at its first call (see LUMO_DELAY_LOADED).
#   cmake -DOBJDUMP=<objdump> -DEXE=<MirelLumo.exe> -P check-imports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE table RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} could not read ${EXE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" names "${table}")
foreach(name IN LISTS names)
  string(REPLACE "DLL Name: " "" dll "${name}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll MATCHES "^(kernel32|user32|gdi32|advapi32|msvcrt)\\.dll$")
    message(FATAL_ERROR "${EXE} loads ${dll} at every start")
  endif()
endforeach()
message(STATUS "imports at start: ${names}")
