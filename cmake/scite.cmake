# The real SciTE for Windows, the editor the end-to-end run and the demo drive: Sc1.exe (one
# static exe with Scintilla, Lexilla and SciTE's Lua inside) built from Debian's scite sources
# with SciTE's own makefiles and the mingw-w64 tools, plus the .properties files it reads beside
# it. Built once per build tree (a few minutes on two cores); nothing of it is committed.
#   ${CMAKE_BINARY_DIR}/scite/Sc1.exe and *.properties, target `scite`
if(NOT WIN32)
  return()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/debian-source.cmake)
project_debian_source(scite SCITE_SOURCE_DIR)

set(SCITE_DIR ${CMAKE_BINARY_DIR}/scite)
find_program(MAKE_PROGRAM NAMES make gmake REQUIRED)
add_custom_command(
  OUTPUT ${SCITE_DIR}/Sc1.exe ${SCITE_DIR}/SciTEGlobal.properties
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${SCITE_SOURCE_DIR} -DOUT=${SCITE_DIR}
          -DMAKE=${MAKE_PROGRAM} -DCC=${CMAKE_C_COMPILER} -DCXX=${CMAKE_CXX_COMPILER}
          -DAR=${CMAKE_AR} -DRANLIB=${CMAKE_RANLIB} -DWINDRES=${CMAKE_RC_COMPILER}
          -DLOG=${CMAKE_BINARY_DIR}/_deps/scite-build.log
          -P ${CMAKE_CURRENT_LIST_DIR}/build-scite.cmake
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/build-scite.cmake
  COMMENT "Building SciTE (Sc1.exe) from Debian's scite sources, once per build tree"
  VERBATIM)
add_custom_target(scite ALL DEPENDS ${SCITE_DIR}/Sc1.exe ${SCITE_DIR}/SciTEGlobal.properties)
