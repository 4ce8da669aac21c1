# Test of the release package (cmake -P): cpack makes it from the build tree into a scratch
# folder; it is unpacked there, its file list compared, and the launcher run from the unpacked
# folder (under Wine for Windows), once as packed and once without the companion beside it.
# Variables: CPACK, CONFIG, WORK_DIR, EMULATOR, FOLDER, EXPECTED (comma-separated paths),
# PLATFORM (windows: a zip with .exe programs and CRLF texts, unzipped into SciTE's folder, whose
# files are in SCITE_DIR; linux: a tar.gz with LF texts, and the .deb checked by
# check-deb.cmake).
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${CPACK} --config ${CONFIG} -B ${WORK_DIR}/out
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed (is everything built?):\n${output}")
endif()
if(PLATFORM STREQUAL "linux")
  set(suffix "")
  file(GLOB zips ${WORK_DIR}/out/*.tar.gz)
else()
  set(suffix ".exe")
  file(GLOB zips ${WORK_DIR}/out/*.zip)
endif()
list(LENGTH zips count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one package, found: ${zips}")
endif()

set(unpacked ${WORK_DIR}/unpacked)
file(ARCHIVE_EXTRACT INPUT ${zips} DESTINATION ${unpacked})
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${unpacked} ${unpacked}/*)
string(REPLACE "," ";" expected "${EXPECTED}")
list(SORT files)
list(SORT expected)
if(NOT files STREQUAL expected)
  message(FATAL_ERROR "the zip holds\n  ${files}\nbut should hold\n  ${expected}")
endif()

# The tool line of the websearch.properties SciTE reads must name the folder the package unpacks
# to, and SciTE's files want Windows line ends. (Read as hexadecimal: a plain read drops the
# carriage returns.)
if(PLATFORM STREQUAL "linux")
  set(tool_properties ${unpacked}/${FOLDER}/websearch.properties)
  string(HEX "\ncommand.35.*=\"$HOME/.local/share/${FOLDER}/launcher\"\n" tool_line)
else()
  set(tool_properties ${unpacked}/websearch.properties)
  string(HEX "\ncommand.35.*=\"$(SciteDefaultHome)\\${FOLDER}\\launcher.exe\"\r\n" tool_line)
endif()
file(READ ${tool_properties} properties HEX)
string(FIND "${properties}" "${tool_line}" at)
if(at EQUAL -1)
  file(READ ${tool_properties} properties)
  message(FATAL_ERROR "${tool_properties} lacks the tool line for ${FOLDER}:\n${properties}")
endif()

# Unzipped into SciTE's folder, the zip must overwrite none of SciTE's files.
if(PLATFORM STREQUAL "windows")
  if(NOT EXISTS ${SCITE_DIR}/SciTEGlobal.properties)
    message(FATAL_ERROR "no SciTE in ${SCITE_DIR} to compare with (build the target scite)")
  endif()
  file(GLOB tops RELATIVE ${unpacked} ${unpacked}/*)
  foreach(top ${tops})
    if(EXISTS ${SCITE_DIR}/${top})
      message(FATAL_ERROR "the zip would overwrite SciTE's own ${top}")
    endif()
  endforeach()
else()
  include(${CMAKE_CURRENT_LIST_DIR}/check-deb.cmake)
endif()

set(launcher ${unpacked}/${FOLDER}/launcher${suffix})
if(NOT EXISTS ${launcher})
  message(STATUS "this build has no launcher yet: not run")
  return()
endif()

# Without SciTE the selection is empty: the companion starts, finds nothing to search, says so on
# its standard error (which it shares with the launcher) and opens nothing, and the launcher ends
# with 0. A missing companion would give 1, a missing engine a "could not load" line.
# The streams go to files, not pipes: a process that Wine starts on the launcher's behalf (its
# desktop, say) inherits them and would keep a pipe open long after the launcher has ended.
function(run_launcher expected_code expected_err)
  execute_process(COMMAND ${EMULATOR} ${launcher} RESULT_VARIABLE code
                  OUTPUT_FILE ${WORK_DIR}/stdout.txt ERROR_FILE ${WORK_DIR}/stderr.txt TIMEOUT 120)
  file(READ ${WORK_DIR}/stdout.txt out)
  file(READ ${WORK_DIR}/stderr.txt err)
  if(NOT "${code}" STREQUAL "${expected_code}" OR NOT "${out}" STREQUAL ""
     OR NOT "${err}" STREQUAL "${expected_err}")
    message(FATAL_ERROR "the launcher from the package: exit code ${code} (expected "
                        "${expected_code})\nstdout: ${out}\nstderr: ${err}")
  endif()
endfunction()

run_launcher(0 "!> Nothing to search: select some text, or put the caret in a word.\n")
# Put back afterwards: the end-to-end tests run the unpacked folder as it was packed.
file(RENAME ${unpacked}/${FOLDER}/websearch${suffix} ${WORK_DIR}/websearch.aside)
run_launcher(1 "")
file(RENAME ${WORK_DIR}/websearch.aside ${unpacked}/${FOLDER}/websearch${suffix})
