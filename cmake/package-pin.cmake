# Run by cpack after each package is made (CPACK_POST_BUILD_SCRIPTS, wired and explained in
# package.cmake): the .tar.gz, .zip or .deb rewritten by packaging/pin_package.py.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.(tar\\.gz|zip|deb)$")
    execute_process(COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/../packaging/pin_package.py
                            ${package}
                    RESULT_VARIABLE result ERROR_VARIABLE error)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "could not pin the bytes of ${package}: ${error}")
    endif()
  endif()
endforeach()
