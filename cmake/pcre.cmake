# The regular-expression engine: never linked, only loaded by name at start-up. On Windows it is
# built here as pcre64.dll from Debian's pcre3 sources; the host uses the system's libpcre.so.3.
if(WIN32)
  set(PCRE_LIBRARY_NAME "pcre64.dll")
else()
  set(PCRE_LIBRARY_NAME "libpcre.so.3")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/runtime.cmake)

include(${CMAKE_CURRENT_LIST_DIR}/constant.cmake)
project_string_constant(platform/pcre_library.h platform kPcreLibraryName ${PCRE_LIBRARY_NAME}
                        "The file name the pattern engine is loaded by.")
target_include_directories(project_options INTERFACE ${CMAKE_BINARY_DIR}/generated)

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/debian-source.cmake)
  project_debian_source(pcre3 PCRE_SOURCE_DIR)

  # The generic config and header of the source package need no configure step of their own.
  set(pcre_generated ${CMAKE_BINARY_DIR}/_deps/pcre3-build)
  configure_file(${PCRE_SOURCE_DIR}/config.h.generic ${pcre_generated}/config.h COPYONLY)
  configure_file(${PCRE_SOURCE_DIR}/pcre.h.generic ${pcre_generated}/pcre.h COPYONLY)
  configure_file(${PCRE_SOURCE_DIR}/pcre_chartables.c.dist ${pcre_generated}/pcre_chartables.c
                 COPYONLY)

  set(pcre_sources ${pcre_generated}/pcre_chartables.c)
  foreach(part byte_order compile config dfa_exec exec fullinfo get globals jit_compile maketables
               newline ord2utf8 refcount string_utils study tables ucd valid_utf8 version xclass)
    list(APPEND pcre_sources ${PCRE_SOURCE_DIR}/pcre_${part}.c)
  endforeach()

  add_library(pcre64 SHARED ${pcre_sources})
  set_target_properties(pcre64 PROPERTIES OUTPUT_NAME pcre64 PREFIX "" C_STANDARD 99)
  target_include_directories(pcre64 PRIVATE ${pcre_generated} ${PCRE_SOURCE_DIR})
  target_compile_definitions(pcre64 PRIVATE
    HAVE_CONFIG_H SUPPORT_PCRE8 SUPPORT_JIT SUPPORT_UTF SUPPORT_UCP
    HAVE_STDINT_H HAVE_INTTYPES_H HAVE_MEMMOVE HAVE_STRERROR)
  # Third-party code: its warnings are not ours to fix.
  target_compile_options(pcre64 PRIVATE -w)
  # Self-contained: the DLL imports nothing but system DLLs (KERNEL32, msvcrt).
  target_link_options(pcre64 PRIVATE -static)
  set(PCRE_INCLUDE_DIR ${pcre_generated})
  add_dependencies(runtime_files pcre64)
endif()
