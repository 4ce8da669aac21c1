# The .deb beside the tar.gz (included by check-package.cmake, in ${WORK_DIR}/out): Debian's file
# name (DEB_FILE), its files where Debian keeps them, its control fields, and lintian without an
# error.
set(deb ${WORK_DIR}/out/${DEB_FILE})
if(NOT EXISTS ${deb})
  file(GLOB debs ${WORK_DIR}/out/*.deb)
  message(FATAL_ERROR "expected ${deb}, found: ${debs}")
endif()

function(deb_query out)
  execute_process(COMMAND dpkg-deb ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "dpkg-deb ${ARGN} failed:\n${output}")
  endif()
  set(${out} "${output}" PARENT_SCOPE)
endfunction()

# Its files, each link with its target; directories only as the files' folders.
set(deb_root ${WORK_DIR}/deb)
deb_query(ignored -x ${deb} ${deb_root})
file(GLOB_RECURSE entries LIST_DIRECTORIES false RELATIVE ${deb_root} ${deb_root}/*)
set(files "")
foreach(entry ${entries})
  if(IS_SYMLINK ${deb_root}/${entry})
    file(READ_SYMLINK ${deb_root}/${entry} target)
    string(APPEND entry " -> ${target}")
  endif()
  list(APPEND files "${entry}")
endforeach()
list(SORT files)
set(expected
    "etc/scite/websearch.properties"
    "usr/lib/scite-websearch/launcher"
    "usr/lib/scite-websearch/websearch"
    "usr/share/doc/scite-websearch/changelog.Debian.gz"
    "usr/share/doc/scite-websearch/README.txt"
    "usr/share/doc/scite-websearch/copyright"
    "usr/share/lintian/overrides/scite-websearch")
list(SORT expected)
if(NOT files STREQUAL expected)
  string(REPLACE ";" "\n  " files "${files}")
  string(REPLACE ";" "\n  " expected "${expected}")
  message(FATAL_ERROR "the .deb holds\n  ${files}\nbut should hold\n  ${expected}")
endif()
file(STRINGS ${deb_root}/etc/scite/websearch.properties tool_line REGEX "^command\\.35\\.")
if(NOT tool_line STREQUAL "command.35.*=/usr/lib/scite-websearch/launcher")
  message(FATAL_ERROR "the .deb's websearch.properties runs: ${tool_line}")
endif()

# The control fields a user and apt see. Depends: what dpkg-shlibdeps found the programs need
# (each with its version), and SciTE.
deb_query(fields -f ${deb} Package Version Architecture Section Recommends)
set(expected_fields "Package: scite-websearch\nVersion: 1.0-1\nArchitecture: amd64\n"
                    "Section: editors\nRecommends: xdg-utils\n")
string(CONCAT expected_fields ${expected_fields})
if(NOT fields STREQUAL expected_fields)
  message(FATAL_ERROR "the .deb's control fields:\n${fields}but should be:\n${expected_fields}")
endif()
deb_query(depends -f ${deb} Depends)
string(STRIP "${depends}" depends)
string(REGEX REPLACE " *, *" ";" depends "${depends}")
list(SORT depends)
# The C++ run time is linked into both programs: the C library is what the release build needs
# (a host build adds its sanitizers' libraries).
if(NOT "scite" IN_LIST depends OR NOT depends MATCHES "(^|;)libc6 \\(>=")
  message(FATAL_ERROR "Depends should be scite and the programs' libraries, with the C library's "
                      "version: ${depends}")
endif()
deb_query(conffiles -I ${deb} conffiles)
if(NOT conffiles STREQUAL "/etc/scite/websearch.properties\n")
  message(FATAL_ERROR "the .deb's conffiles: ${conffiles}")
endif()

# Debian's own checks: no error; the warnings are printed for whoever reads the test's output.
find_program(LINTIAN lintian)
if(NOT LINTIAN)
  message(FATAL_ERROR "lintian is missing (scripts/setup installs it)")
endif()
execute_process(COMMAND ${LINTIAN} --fail-on error ${deb} RESULT_VARIABLE result
                OUTPUT_VARIABLE output ERROR_VARIABLE output)
message(STATUS "lintian:\n${output}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lintian failed on ${deb}:\n${output}")
endif()
