# Lua 5.4 as a static library, from Debian's lua5.4 sources, for the test doubles that stand in
# for the editor's Lua extension: the Windows stand-in program, and the fake SciTE of every build.
include(${CMAKE_CURRENT_LIST_DIR}/debian-source.cmake)
project_debian_source(lua5.4 LUA_SOURCE_DIR)

file(GLOB lua_sources ${LUA_SOURCE_DIR}/src/*.c)
# The interpreter and compiler programs have their own main().
list(REMOVE_ITEM lua_sources ${LUA_SOURCE_DIR}/src/lua.c ${LUA_SOURCE_DIR}/src/luac.c)

add_library(lua54 STATIC ${lua_sources})
set_target_properties(lua54 PROPERTIES C_STANDARD 99)
# SYSTEM: users of lua.h / lua.hpp keep their warnings-as-errors for their own code only.
target_include_directories(lua54 SYSTEM PUBLIC ${LUA_SOURCE_DIR}/src)
target_compile_options(lua54 PRIVATE -w)

# Debian's luaconf.h names the multiarch folder from a header its own build writes; the stand-in
# loads no modules, so any folder serves.
if(NOT WIN32)
  set(lua_multiarch_dir ${CMAKE_BINARY_DIR}/generated/lua)
  file(WRITE ${lua_multiarch_dir}/lua5.4-deb-multiarch.h
       "#define DEB_HOST_MULTIARCH \"${CMAKE_LIBRARY_ARCHITECTURE}\"\n")
  target_include_directories(lua54 SYSTEM PUBLIC ${lua_multiarch_dir})
  # lua's os and io libraries name POSIX functions that glibc hides without this.
  target_compile_definitions(lua54 PRIVATE LUA_USE_LINUX)
endif()
