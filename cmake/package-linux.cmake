# The Linux release packages, both made by `cmake --build --preset linux --target package`:
# - scite-websearch-1.0-linux-x86_64.tar.gz, for users without root: its folder scite-websearch/
#   unpacked into ~/.local/share, read through one import line in the user options;
# - scite-websearch_1.0-1_amd64.deb, for Debian and Ubuntu: the programs in
#   /usr/lib/scite-websearch and the tool's lines in /etc/scite/websearch.properties (a conffile),
#   linked from /usr/share/scite, where SciTE's import * reads it, by the package's postinst
#   (packaging/linux/postinst says why the link is not shipped).
# The generators share one install tree, so each package is a component of its own, picked per
# generator by cmake/package-generator.cmake.
if(NOT TARGET launcher_linux)
  return()
endif()

# The tar.gz's websearch.properties names this folder under ~/.local/share.
set(PACKAGE_FOLDER scite-websearch)
set(DEB_PROGRAMS /usr/lib/scite-websearch)
set(DEB_PROPERTIES /etc/scite/websearch.properties)
set(DEB_DOC /usr/share/doc/scite-websearch)

# The tool's lines with each package's launcher.
function(tool_properties launcher folder)
  set(LAUNCHER ${launcher})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/linux/websearch.properties.in
                 ${CMAKE_BINARY_DIR}/packaging/${folder}/websearch.properties @ONLY)
endfunction()
tool_properties("\"$HOME/.local/share/${PACKAGE_FOLDER}/launcher\"" tgz)
tool_properties(${DEB_PROGRAMS}/launcher deb)

install(TARGETS launcher_linux websearch_linux RUNTIME DESTINATION ${PACKAGE_FOLDER}
        COMPONENT tgz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/websearch.ini
              ${PROJECT_SOURCE_DIR}/packaging/linux/README.txt
              ${CMAKE_BINARY_DIR}/packaging/tgz/websearch.properties
        DESTINATION ${PACKAGE_FOLDER} COMPONENT tgz)

# No websearch.ini in the .deb: its settings go in SciTE's properties.
install(TARGETS launcher_linux websearch_linux RUNTIME DESTINATION ${DEB_PROGRAMS} COMPONENT deb)
install(FILES ${CMAKE_BINARY_DIR}/packaging/deb/websearch.properties DESTINATION /etc/scite
        COMPONENT deb)
# Debian's changelog compressed as its policy wants: at most, without a name or a time stamp.
set(changelog ${CMAKE_BINARY_DIR}/packaging/deb/changelog.Debian.gz)
add_custom_command(OUTPUT ${changelog}
                   COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/linux/changelog.Debian
                           > ${changelog}
                   DEPENDS ${PROJECT_SOURCE_DIR}/packaging/linux/changelog.Debian)
add_custom_target(deb_changelog ALL DEPENDS ${changelog})
add_dependencies(package_contents launcher_linux websearch_linux deb_changelog)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/copyright ${changelog}
              ${PROJECT_SOURCE_DIR}/packaging/linux/README.txt
        DESTINATION ${DEB_DOC} COMPONENT deb)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/lintian-overrides
        DESTINATION /usr/share/lintian/overrides RENAME ${CPACK_PACKAGE_NAME} COMPONENT deb)
file(WRITE ${CMAKE_BINARY_DIR}/packaging/deb/conffiles "${DEB_PROPERTIES}\n")

set(CPACK_GENERATOR TGZ DEB)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package-generator.cmake)
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-linux-x86_64)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # Debian's own: <name>_<version>-<release>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER
    "scite-websearch maintainers <maintainers@users.noreply.c-seed-570a8c11.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "web search for the selected text, a tool for SciTE")
# cpack puts the summary first; the rest, lines of at most 80 characters, follows it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Select some text in SciTE and press Ctrl+Shift+W: the default browser searches
the web for it (with nothing selected, for the word at the caret). SciTE's
output pane says what was searched for. The search engine, or a list of
engines to pick from at the caret, is set in SciTE's properties.")
# Depends: what the programs' shared libraries need (dpkg-shlibdeps), and the editor they serve.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS scite)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/deb/conffiles
    ${PROJECT_SOURCE_DIR}/packaging/linux/postinst ${PROJECT_SOURCE_DIR}/packaging/linux/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# cpack 3.25 leaves two things of the packing machine in the .deb, rewritten once it is made
# (CPACK_POST_BUILD_SCRIPTS, set in package.cmake): its ar members take the modes of the files
# cpack wrote them from, so they follow the packer's umask (rw------- under 077); and
# Installed-Size sums the sizes stat() gives the staged paths, folders included, which the
# filesystem decides (4096 a folder on ext4, less on a tmpfs).
include(CPack)

set(package_expected launcher websearch websearch.ini README.txt websearch.properties)
list(TRANSFORM package_expected PREPEND ${PACKAGE_FOLDER}/)
string(REPLACE ";" "," package_expected "${package_expected}")
add_test(NAME release_package_linux
         COMMAND ${CMAKE_COMMAND} -DCPACK=${CMAKE_CPACK_COMMAND}
                 -DCONFIG=${CMAKE_BINARY_DIR}/CPackConfig.cmake
                 -DWORK_DIR=${CMAKE_BINARY_DIR}/package-test
                 -DFOLDER=${PACKAGE_FOLDER} -DEXPECTED=${package_expected} -DPLATFORM=linux
                 -DDEB_FILE=${CPACK_PACKAGE_NAME}_${CPACK_PACKAGE_VERSION}-1_amd64.deb
                 -P ${PROJECT_SOURCE_DIR}/packaging/check-package.cmake)
# Packing never runs while real_scite_gtk has the .deb installed on this machine.
set_tests_properties(release_package_linux PROPERTIES TIMEOUT 300 LABELS linux
                     ENVIRONMENT ASAN_OPTIONS=detect_leaks=0
                     FIXTURES_SETUP release_tgz_unpacked RESOURCE_LOCK deb_packing)
# The packages' rewrite over what the real ones lack: links, an empty file, foreign owners, long
# names. Here only: the script is the same for the Windows build's zip, and python3 runs natively.
add_test(NAME pin_package COMMAND python3 ${PROJECT_SOURCE_DIR}/packaging/pin_package_test.py)
set_tests_properties(pin_package PROPERTIES LABELS linux)

# The packages built again in a second tree inside this one (kept between runs, so later runs
# rebuild only what changed) must be the same bytes. Not under the sanitizers: the property is
# the release packages', and a second sanitized tree would double the host build's test time.
if(NOT SANITIZE)
  set(second_tree_cache "")
  foreach(name CMAKE_BUILD_TYPE CMAKE_C_COMPILER CMAKE_CXX_COMPILER PROJECT_POSIX_TWINS
               GOOGLETEST_SOURCE_DIR)
    list(APPEND second_tree_cache "-D${name}=${${name}}")
  endforeach()
  string(REPLACE ";" "," second_tree_cache "${second_tree_cache}")
  add_test(NAME reproducible_package_linux
           COMMAND ${CMAKE_COMMAND} -DCPACK=${CMAKE_CPACK_COMMAND}
                   -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DFIRST=${CMAKE_BINARY_DIR}
                   -DSECOND=${CMAKE_BINARY_DIR}/reproducible/second-tree
                   -DWORK_DIR=${CMAKE_BINARY_DIR}/reproducible/packages
                   -DGENERATOR=${CMAKE_GENERATOR} -DCONFIGURE=${second_tree_cache}
                   -P ${PROJECT_SOURCE_DIR}/packaging/check-reproducible.cmake)
  # Its build uses both cores: nothing runs beside it.
  set_tests_properties(reproducible_package_linux PROPERTIES TIMEOUT 900 LABELS linux
                       PROCESSORS 2 RESOURCE_LOCK deb_packing)
endif()
