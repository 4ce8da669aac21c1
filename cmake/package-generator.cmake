# Read by cpack once for each generator of the Linux build: the generators share one install
# tree, so each package installs only its own component of it (the third field of the one
# "<build dir>;<project>;<component>;<folder>" entry).
if(CPACK_GENERATOR STREQUAL "DEB")
  set(component deb)
  # The .deb's paths are absolute (/etc, /usr): installed under cpack's staging folder.
  set(CPACK_SET_DESTDIR ON)
  set(CPACK_INSTALL_PREFIX /usr)  # else cpack leaves an empty /usr/local in the package
else()
  set(component tgz)
endif()
list(REMOVE_AT CPACK_INSTALL_CMAKE_PROJECTS 2)
list(INSERT CPACK_INSTALL_CMAKE_PROJECTS 2 ${component})

include(${CMAKE_CURRENT_LIST_DIR}/package-date.cmake)
