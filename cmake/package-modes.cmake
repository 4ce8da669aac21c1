# Run by cpack on its staging tree before it packs (CPACK_PRE_BUILD_SCRIPTS): every folder made
# rwxr-xr-x. The folders are made with the umask of whoever packs; under umask 077 a .deb would
# install /usr/lib/scite-websearch readable by root alone.
file(GLOB_RECURSE entries LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(entry IN LISTS entries)
  if(IS_DIRECTORY "${entry}" AND NOT IS_SYMLINK "${entry}")
    file(CHMOD "${entry}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
         GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()
