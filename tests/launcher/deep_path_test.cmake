# Runs the probe from a directory whose full path is longer than 300 characters and lets it check
# its own path. The system cannot start a program from there (CreateProcessW stops at the classic
# path limit), but the emulator's loader, started from the host, can.
#   -DPROBE=<built probe> -DEMULATOR=<wine-run> -DWORK_DIR=<scratch directory on the host>
set(deep "${WORK_DIR}/deep")
string(REPEAT "/a directory name of forty characters ___" 9 tail)
string(APPEND deep "${tail}")
file(REMOVE_RECURSE "${WORK_DIR}/deep")
file(MAKE_DIRECTORY "${deep}")
file(COPY_FILE "${PROBE}" "${deep}/probe.exe")

# The emulator shows the host's root as drive Z:.
string(REPLACE "/" "\\" expected "Z:${deep}/probe.exe")
string(LENGTH "${expected}" length)
if(length LESS_EQUAL 300)
  message(FATAL_ERROR "the directory is too shallow for the test: ${length} characters")
endif()

execute_process(COMMAND "${EMULATOR}" "${deep}/probe.exe" "${expected}"
                RESULT_VARIABLE result ERROR_VARIABLE errors)
file(REMOVE_RECURSE "${WORK_DIR}/deep")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "probe at a path of ${length} characters failed (${result}):\n${errors}")
endif()
message(STATUS "own path of ${length} characters found")
