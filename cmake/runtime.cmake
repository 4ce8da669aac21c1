# Where programs land, and the target that puts what tests need beside them. Included by every
# file that uses either, so none depends on the order of the includes.
include_guard(GLOBAL)

# The loader finds a DLL beside the exe that loads it, so every exe and DLL of the Windows build
# shares one folder.
if(WIN32)
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endif()

# Files every test needs beside it at run time; test executables depend on this target.
add_custom_target(runtime_files)
