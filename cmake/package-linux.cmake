# The Linux release package: one tar.gz whose folder "scite-websearch" holds the launcher, the
# companion and the files that install them, unpacked into ~/.local/share.
#   cmake --build --preset linux --target package
if(NOT TARGET launcher_linux)
  return()
endif()

# scite-tool.properties names this folder under ~/.local/share.
set(PACKAGE_FOLDER scite-websearch)

install(TARGETS launcher_linux websearch_linux RUNTIME DESTINATION ${PACKAGE_FOLDER})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/websearch.ini
              ${PROJECT_SOURCE_DIR}/packaging/linux/README.txt
              ${PROJECT_SOURCE_DIR}/packaging/linux/scite-tool.properties
        DESTINATION ${PACKAGE_FOLDER})

set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-linux-x86_64)
include(CPack)

set(package_expected launcher websearch websearch.ini README.txt scite-tool.properties)
list(TRANSFORM package_expected PREPEND ${PACKAGE_FOLDER}/)
string(REPLACE ";" "," package_expected "${package_expected}")
add_test(NAME release_package_linux
         COMMAND ${CMAKE_COMMAND} -DCPACK=${CMAKE_CPACK_COMMAND}
                 -DCONFIG=${CMAKE_BINARY_DIR}/CPackConfig.cmake
                 -DWORK_DIR=${CMAKE_BINARY_DIR}/package-test
                 -DFOLDER=${PACKAGE_FOLDER} -DEXPECTED=${package_expected} -DPLATFORM=linux
                 -P ${PROJECT_SOURCE_DIR}/packaging/check-package.cmake)
set_tests_properties(release_package_linux PROPERTIES TIMEOUT 300 LABELS linux
                     ENVIRONMENT ASAN_OPTIONS=detect_leaks=0
                     FIXTURES_SETUP release_tgz_unpacked)
