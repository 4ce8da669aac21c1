# Test registration for both builds. Under the windows preset every test runs under Wine
# (CMAKE_CROSSCOMPILING_EMULATOR) inside one warm Wine session that a fixture starts and stops.

# project_add_gtest(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable, registered as one test.
function(project_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} project_options GTest::gtest GTest::gmock GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  project_test_properties(${name})
endfunction()

# Marks a test as needing the Wine session on the windows build.
function(project_test_properties test)
  if(WIN32)
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED wine_session)
  endif()
endfunction()
