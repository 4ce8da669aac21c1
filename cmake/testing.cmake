# Test registration for both builds. Under the windows preset every test runs under Wine
# (CMAKE_CROSSCOMPILING_EMULATOR, scripts/wine-run) inside one warm Wine session that the
# fixture `wine_session` starts before the first test and stops after the last, pass or fail.
#
# Helpers:
#   project_add_gtest(<name> SOURCES <files...> LIBS <targets...>)
#   project_add_exit_test(<name> COMMAND <target|program> [args...] EXIT_CODE <n|NONZERO>
#                         [STDERR <text>] [STDOUT <text>] [TIMEOUT <seconds>])
#   project_add_import_test(<name> TARGET <target> ALLOW_DLLS <dll...> [FORBID_FUNCTIONS <fn...>])
#   project_test_properties(<test>)

include(${CMAKE_CURRENT_LIST_DIR}/runtime.cmake)

set(PROJECT_SCRIPTS_DIR ${PROJECT_SOURCE_DIR}/scripts)
set(PROJECT_CHECK_SCRIPTS_DIR ${CMAKE_CURRENT_LIST_DIR})

# One GoogleTest executable, registered as one test (one Wine start per binary, and no test list
# taken at build time that a filter could silently miss).
function(project_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} project_options GTest::gtest GTest::gmock
                                        GTest::gtest_main)
  add_dependencies(${name} runtime_files)
  add_test(NAME ${name} COMMAND ${name})
  project_test_properties(${name})
endfunction()

# Marks a test as needing the Wine session on the windows build.
function(project_test_properties test)
  if(WIN32)
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED wine_session)
  endif()
endfunction()

# project_add_exit_test(<name> COMMAND <target|program> [args...] EXIT_CODE <n|NONZERO>
#                       [STDERR <text>] [STDOUT <text>] [TIMEOUT <seconds>])
# Runs a program once (a target runs under Wine on the windows build) and checks its exit code
# and, when given, the exact bytes of its standard error and standard output. Texts are compared
# byte for byte: write "\n" for a line feed; a Windows stream left in text mode writes "\r\n".
# Windows exit codes reach Linux modulo 256, so EXIT_CODE is compared modulo 256; NONZERO accepts
# any failure (a crash under Wine exits with 5, the low byte of 0xC0000005). A stream whose text
# is not given is not checked. On failure the test prints both streams, expected and actual bytes.
function(project_add_exit_test name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "EXIT_CODE;STDERR;STDOUT;TIMEOUT" "COMMAND")
  if(NOT ARG_COMMAND OR "${ARG_EXIT_CODE}" STREQUAL "")
    message(FATAL_ERROR "project_add_exit_test(${name}): COMMAND and EXIT_CODE are required")
  endif()
  list(POP_FRONT ARG_COMMAND program)
  set(launcher "")
  if(TARGET ${program})
    add_dependencies(${program} runtime_files)
    set(launcher ${CMAKE_CROSSCOMPILING_EMULATOR})
    set(program $<TARGET_FILE:${program}>)
  endif()

  # Expected bytes go through files: a command line would not carry line feeds unchanged.
  set(checks --exit-code ${ARG_EXIT_CODE})
  foreach(stream STDERR STDOUT)
    if(DEFINED ARG_${stream})
      string(TOLOWER ${stream} lower)
      set(expected_file ${CMAKE_CURRENT_BINARY_DIR}/${name}.expected-${lower})
      file(WRITE ${expected_file} "${ARG_${stream}}")
      list(APPEND checks --${lower} ${expected_file})
    endif()
  endforeach()

  add_test(NAME ${name} COMMAND ${PROJECT_SCRIPTS_DIR}/run-and-check ${checks} --
                                ${launcher} ${program} ${ARG_COMMAND})
  if(ARG_TIMEOUT)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  endif()
  project_test_properties(${name})
endfunction()

# project_add_import_test(<name> TARGET <target> ALLOW_DLLS <dll...> [FORBID_FUNCTIONS <fn...>])
# Windows build only: checks the import table of a built exe or DLL (x86_64-w64-mingw32-objdump).
# Fails when it imports from a DLL outside ALLOW_DLLS (compared case-insensitively) or imports any
# function named in FORBID_FUNCTIONS. `scripts/list-imports <file>` prints the same table.
function(project_add_import_test name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "TARGET" "ALLOW_DLLS;FORBID_FUNCTIONS")
  if(NOT WIN32)
    return()
  endif()
  string(REPLACE ";" "," allowed "${ARG_ALLOW_DLLS}")
  string(REPLACE ";" "," forbidden "${ARG_FORBID_FUNCTIONS}")
  add_test(NAME ${name}
           COMMAND ${CMAKE_COMMAND} -DLIST_IMPORTS=${PROJECT_SCRIPTS_DIR}/list-imports
                   -DFILE=$<TARGET_FILE:${ARG_TARGET}> "-DALLOW_DLLS=${allowed}"
                   "-DFORBID_FUNCTIONS=${forbidden}"
                   -P ${PROJECT_CHECK_SCRIPTS_DIR}/check-imports.cmake)
endfunction()

# The warm Wine session around the windows build's tests. A run that finds another run of the
# same build tree still going waits for it (the setup's timeout allows for that).
if(WIN32)
  add_test(NAME wine_session_start
           COMMAND ${PROJECT_SCRIPTS_DIR}/wine-session start ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine_session TIMEOUT 1800
                                                     LABELS fixture)
  add_test(NAME wine_session_stop
           COMMAND ${PROJECT_SCRIPTS_DIR}/wine-session stop ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session TIMEOUT 120
                                                    LABELS fixture)
endif()
