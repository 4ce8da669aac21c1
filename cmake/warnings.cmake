# Warning levels for our own code; third-party sources get none of this.
option(SANITIZE "Build with AddressSanitizer and UBSan" OFF)

add_library(project_options INTERFACE)
target_compile_options(project_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast
  -Wnon-virtual-dtor -Woverloaded-virtual -Wnull-dereference -Wdouble-promotion
  -Wimplicit-fallthrough -Werror
  # Records are built with designated initializers that name only what differs from the
  # members' defaults; GCC 12 would flag every member left to its default.
  -Wno-missing-field-initializers)
# GCC 12 at -O3 reports "may be used uninitialized" deep inside the standard library's strings
# for tables of records whose every member is initialised; the debug build keeps the warning.
if(CMAKE_BUILD_TYPE STREQUAL "Release" AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(project_options INTERFACE -Wno-maybe-uninitialized)
endif()
target_include_directories(project_options INTERFACE ${PROJECT_SOURCE_DIR})
if(WIN32)
  target_compile_definitions(project_options INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()
if(SANITIZE)
  target_compile_options(project_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(project_options INTERFACE -fsanitize=address,undefined)
endif()
