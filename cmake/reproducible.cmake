# The same commit gives the same programs, whatever the folder it is built in and the time.
# The compiler records source paths (each raise site's file name; PCRE's sources and the
# generated headers live in the build tree): they are written relative to the repository and to
# the build tree, so no user's folder names ship. Of two matching maps the later one wins, so the
# build tree, which the presets put inside the repository, comes last.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
# A PE holds its link time unless told not to; the packages' file dates come from the last
# commit instead (cmake/package-date.cmake).
if(WIN32)
  add_link_options(LINKER:--no-insert-timestamp)
endif()
