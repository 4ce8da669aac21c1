# The release package: one zip unzipped into SciTE's own folder. It adds websearch.properties at
# the top, which SciTE reads by itself (import *), and the folder "websearch" with the launcher,
# the pattern engine and the companion; it overwrites none of SciTE's files.
#   cmake --build --preset windows --target package
# The Linux build has its own: cmake/package-linux.cmake.

# What both packages share: a name with the client's version, one folder at the top, stripped
# programs.
set(CPACK_PACKAGE_NAME scite-websearch)
set(CPACK_PACKAGE_VENDOR "")
set(CPACK_PACKAGE_VERSION ${DIRECTOR_INTERFACE_VERSION})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
# The packed folders' modes, whatever the umask of whoever packs.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package-modes.cmake)
# Each package rewritten once made (package-pin.cmake): cpack 3.25 adds the files of the tar.gz
# and the zip in the order the filesystem lists them, which differs between two machines.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package-pin.cmake)
# The file dates of the last commit, read at each packing.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package-date.cmake)
set(CPACK_PACKAGE_REPOSITORY ${PROJECT_SOURCE_DIR})
# What the packages hold that the build makes, and no more: enough for cpack, without SciTE and
# the tests (scripts/reproducible, the test reproducible_package_linux).
add_custom_target(package_contents)

if(PROJECT_POSIX_TWINS)
  include(${CMAKE_CURRENT_LIST_DIR}/package-linux.cmake)
  return()
endif()

# websearch.properties names this folder under $(SciteDefaultHome).
set(PACKAGE_FOLDER websearch)

foreach(program launcher websearch)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${PACKAGE_FOLDER})
    add_dependencies(package_contents ${program})
  endif()
endforeach()
if(TARGET pcre64)
  # Only the DLL: nobody links against the engine, so its import library stays out.
  install(TARGETS pcre64 RUNTIME DESTINATION ${PACKAGE_FOLDER}
          ARCHIVE DESTINATION lib COMPONENT pcre_import_library EXCLUDE_FROM_ALL)
  add_dependencies(package_contents pcre64)
endif()

# Windows line ends, for Notepad and for pasting into SciTE's options files.
foreach(text websearch.ini README.txt websearch.properties)
  set(source ${PROJECT_SOURCE_DIR}/packaging/${text})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  file(READ ${source} content)
  string(REPLACE "\n" "\r\n" content "${content}")
  file(WRITE ${CMAKE_BINARY_DIR}/packaging/${text} "${content}")
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/packaging/websearch.ini ${CMAKE_BINARY_DIR}/packaging/README.txt
        DESTINATION ${PACKAGE_FOLDER})
# The tool's lines twice: at the top for SciTE's import *, and in the folder to paste into the
# user options where SciTE reads no import * (the single-file Sc1.exe).
install(FILES ${CMAKE_BINARY_DIR}/packaging/websearch.properties DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/packaging/websearch.properties DESTINATION ${PACKAGE_FOLDER}
        RENAME scite-tool.properties)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-win64)
include(CPack)

# Builds the package afresh in a scratch folder, unpacks it and runs the launcher from there.
set(package_expected websearch.exe websearch.ini README.txt scite-tool.properties)
foreach(built launcher.exe pcre64.dll)
  get_filename_component(target ${built} NAME_WE)
  if(TARGET ${target})
    list(APPEND package_expected ${built})
  endif()
endforeach()
list(TRANSFORM package_expected PREPEND ${PACKAGE_FOLDER}/)
list(APPEND package_expected websearch.properties)
string(REPLACE ";" "," package_expected "${package_expected}")
add_test(NAME release_package
         COMMAND ${CMAKE_COMMAND} -DCPACK=${CMAKE_CPACK_COMMAND}
                 -DCONFIG=${CMAKE_BINARY_DIR}/CPackConfig.cmake
                 -DWORK_DIR=${CMAKE_BINARY_DIR}/package-test
                 -DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}
                 -DFOLDER=${PACKAGE_FOLDER} -DEXPECTED=${package_expected} -DPLATFORM=windows
                 -DSCITE_DIR=${SCITE_DIR}
                 -P ${PROJECT_SOURCE_DIR}/packaging/check-package.cmake)
# It leaves the zip unpacked in package-test/unpacked for the end-to-end run from there. It runs
# the packaged launcher with SciTE absent, so no stand-in of another test may be in front then.
set_tests_properties(release_package PROPERTIES TIMEOUT 300 FIXTURES_SETUP release_zip_unpacked
                     RESOURCE_LOCK scite_desktop)
project_test_properties(release_package)
