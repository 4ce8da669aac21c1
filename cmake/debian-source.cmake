# Unpacks a Debian source package into the build tree once, so third-party code is never committed.
include_guard(GLOBAL)

# project_debian_source(<package> <out-var>)
# Runs `apt-get source <package>` in ${CMAKE_BINARY_DIR}/_deps/<package>-src on the first configure
# and sets <out-var> to the unpacked source directory. Later configures reuse it without any
# download. Needs the deb-src entry that scripts/setup writes.
function(project_debian_source package out_var)
  set(work_dir ${CMAKE_BINARY_DIR}/_deps/${package}-src)
  set(marker ${work_dir}/unpacked-dir.txt)
  file(MAKE_DIRECTORY ${work_dir})
  # Two configures of one tree (e.g. a test script and an editor) must not unpack over each other.
  file(LOCK ${work_dir}/.lock GUARD FUNCTION TIMEOUT 600)
  if(EXISTS ${marker})
    file(READ ${marker} source_dir)
    if(IS_DIRECTORY "${source_dir}")
      set(${out_var} ${source_dir} PARENT_SCOPE)
      return()
    endif()
  endif()

  find_program(APT_GET apt-get REQUIRED)
  message(STATUS "Fetching Debian source package ${package}")
  # A half-unpacked tree of an interrupted run would confuse the glob below.
  file(GLOB stale LIST_DIRECTORIES true ${work_dir}/${package}-* ${work_dir}/${package}_*)
  if(stale)
    file(REMOVE_RECURSE ${stale})
  endif()
  execute_process(
    COMMAND ${APT_GET} source --quiet ${package}
    WORKING_DIRECTORY ${work_dir}
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
  file(GLOB unpacked LIST_DIRECTORIES true ${work_dir}/${package}-*)
  list(FILTER unpacked EXCLUDE REGEX "\\.(tar|dsc|diff)")
  list(LENGTH unpacked count)
  if(NOT result EQUAL 0 OR NOT count EQUAL 1 OR NOT IS_DIRECTORY "${unpacked}")
    message(FATAL_ERROR "apt-get source ${package} failed (is the deb-src entry there? "
                        "run scripts/setup):\n${output}")
  endif()
  file(WRITE ${marker} ${unpacked})
  set(${out_var} ${unpacked} PARENT_SCOPE)
endfunction()
