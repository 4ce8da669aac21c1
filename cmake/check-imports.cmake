# cmake -DLIST_IMPORTS=<script> -DFILE=<exe|dll> -DALLOW_DLLS=a,b -DFORBID_FUNCTIONS=f,g -P ...
# Fails when FILE imports from a DLL outside ALLOW_DLLS or imports a function of FORBID_FUNCTIONS;
# written for project_add_import_test (cmake/testing.cmake).
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${LIST_IMPORTS} ${FILE} RESULT_VARIABLE result OUTPUT_VARIABLE listing
                ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR listing STREQUAL "")
  message(FATAL_ERROR "could not list the imports of ${FILE}: ${errors}")
endif()

string(REPLACE "," ";" allowed "${ALLOW_DLLS}")
string(TOLOWER "${allowed}" allowed)
string(REPLACE "," ";" forbidden "${FORBID_FUNCTIONS}")
string(REPLACE "\n" ";" lines "${listing}")
set(failures "")
foreach(line IN LISTS lines)
  if(line STREQUAL "")
    continue()
  endif()
  string(REPLACE " " ";" fields "${line}")
  list(GET fields 0 dll)
  list(GET fields 1 function)
  string(TOLOWER "${dll}" dll_lower)
  if(NOT dll_lower IN_LIST allowed)
    string(APPEND failures "  ${dll} ${function}: DLL not allowed\n")
  elseif(function IN_LIST forbidden)
    string(APPEND failures "  ${dll} ${function}: function not allowed\n")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "${FILE} imports what it must not:\n${failures}")
endif()
message(STATUS "${FILE}: imports only from ${ALLOW_DLLS}")
