# Two build trees of one commit must give the same packages, byte for byte, and no shipped file
# may hold the path of the repository or of either tree (cmake -P). cpack packs both trees into
# WORK_DIR, one after the other, the second under umask 077 so that a mode taken from the
# packer's files shows; their packages are compared by name and by bytes, then unpacked and
# searched for the paths.
# Variables: CPACK; SOURCE_DIR, the repository; FIRST and SECOND, two trees with the target
# package_contents built; WORK_DIR. With GENERATOR and CONFIGURE (comma-separated cache entries,
# -DNAME=VALUE), SECOND is first configured from SOURCE_DIR and its package_contents built.
cmake_minimum_required(VERSION 3.25)

function(run_or_fail what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed:\n${output}")
  endif()
endfunction()

if(DEFINED CONFIGURE)
  string(REPLACE "," ";" cache_entries "${CONFIGURE}")
  run_or_fail("configuring ${SECOND}" ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${SECOND}
              -G ${GENERATOR} ${cache_entries})
  # Two jobs: the machine's cores are shared with the tests running beside this one.
  run_or_fail("building ${SECOND}" ${CMAKE_COMMAND} --build ${SECOND} --target package_contents
              -j 2)
endif()

file(REMOVE_RECURSE ${WORK_DIR})
set(packages "")
set(umask_FIRST "")
set(umask_SECOND sh -c [[umask 077 && exec "$0" "$@"]])
foreach(tree FIRST SECOND)
  run_or_fail("cpack in ${${tree}}" ${umask_${tree}} ${CPACK}
              --config ${${tree}}/CPackConfig.cmake -B ${WORK_DIR}/${tree})
  file(GLOB made RELATIVE ${WORK_DIR}/${tree} ${WORK_DIR}/${tree}/*.zip
       ${WORK_DIR}/${tree}/*.tar.gz ${WORK_DIR}/${tree}/*.deb)
  list(SORT made)
  if(NOT made)
    message(FATAL_ERROR "cpack made no package from ${${tree}}")
  endif()
  if(packages AND NOT made STREQUAL packages)
    message(FATAL_ERROR "the trees give different packages: ${packages} and ${made}")
  endif()
  set(packages ${made})
endforeach()

set(faults "")
foreach(package ${packages})
  file(SHA256 ${WORK_DIR}/FIRST/${package} first)
  file(SHA256 ${WORK_DIR}/SECOND/${package} second)
  if(NOT first STREQUAL second)
    string(APPEND faults "\n  ${package} differs (${first} in ${FIRST}, ${second} in ${SECOND})")
  endif()
endforeach()

# A .deb is an ar archive whose files are in data.tar.*.
set(unpacked ${WORK_DIR}/unpacked)
foreach(package ${packages})
  file(ARCHIVE_EXTRACT INPUT ${WORK_DIR}/SECOND/${package} DESTINATION ${unpacked}/${package})
  file(GLOB data ${unpacked}/${package}/data.tar.*)
  if(package MATCHES "\\.deb$" AND data)
    file(ARCHIVE_EXTRACT INPUT ${data} DESTINATION ${unpacked}/${package}/data)
  endif()
endforeach()

# Each path is searched as bytes: any of them in a program is a build machine's folder shipped.
file(GLOB_RECURSE shipped LIST_DIRECTORIES false ${unpacked}/*)
foreach(folder ${SOURCE_DIR} ${FIRST} ${SECOND})
  string(HEX "${folder}" folder_hex)
  foreach(file ${shipped})
    if(IS_SYMLINK ${file})
      continue()
    endif()
    file(READ ${file} content HEX)
    string(FIND "${content}" "${folder_hex}" at)
    if(NOT at EQUAL -1)
      file(RELATIVE_PATH name ${unpacked} ${file})
      string(APPEND faults "\n  ${name} holds the path ${folder}")
    endif()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "the packages of ${FIRST} and ${SECOND} are not reproducible:${faults}")
endif()
string(REPLACE ";" ", " packages "${packages}")
message(STATUS "identical in both trees, no build folder inside: ${packages}")
