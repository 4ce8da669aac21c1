# Builds Sc1.exe from an unpacked scite source package (cmake -P, run by cmake/scite.cmake).
# Variables: SOURCE, OUT, MAKE, CC, CXX, AR, RANLIB, WINDRES, LOG.
cmake_minimum_required(VERSION 3.25)

# Debian's reproducible-build change makes the About box show BUILD_DATE, which only the GTK
# makefile defines: the date of the package's own changelog entry stands in for it.
file(STRINGS ${SOURCE}/debian/changelog trailers REGEX "^ -- .*  ")
list(GET trailers 0 trailer)
string(REGEX REPLACE "^.*  [A-Za-z]+, ([0-9]+ [A-Za-z]+ [0-9]+) .*$" "\\1" build_date "${trailer}")

set(tools CC=${CC} CXX=${CXX} AR=${AR} RANLIB=${RANLIB} WINDRES=${WINDRES})
file(WRITE ${LOG} "")
function(run_make dir)
  execute_process(COMMAND ${MAKE} -j2 ${tools} ${ARGN}
                  WORKING_DIRECTORY ${SOURCE}/${dir}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  file(APPEND ${LOG} "==== make in ${dir}\n${output}")
  if(NOT result EQUAL 0)
    string(LENGTH "${output}" length)
    if(length GREATER 6000)
      math(EXPR from "${length} - 6000")
      string(SUBSTRING "${output}" ${from} -1 output)
    endif()
    message(FATAL_ERROR "building SciTE failed in ${dir} (whole log: ${LOG}):\n${output}")
  endif()
endfunction()

# Only the static libraries: Sc1.exe links them in. Lexilla names its files for Windows only
# when it is told it builds there, and its link flags keep the mingw run-time out of any DLL.
run_make(scintilla/win32 ../bin/libscintilla.a)
run_make(lexilla/src windir=1 "LDFLAGS=-mwindows -Wl,--kill-at -static -shared"
         ../bin/liblexilla.a)
# The single quotes survive make and keep the date one string literal in the shell.
run_make(scite/win32 "CPPFLAGS=-DBUILD_DATE='\"${build_date}\"'" ../bin/Sc1.exe)

file(MAKE_DIRECTORY ${OUT})
file(COPY ${SOURCE}/scite/bin/Sc1.exe DESTINATION ${OUT})
# The same set SciTE's makefile puts beside its exe.
file(GLOB properties ${SOURCE}/scite/src/*.properties)
list(FILTER properties EXCLUDE REGEX "/(SciTE|Embedded)\\.properties$")
file(COPY ${properties} DESTINATION ${OUT})
