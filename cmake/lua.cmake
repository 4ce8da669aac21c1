# Lua 5.4 as a static library for the Windows build, from Debian's lua5.4 sources, for the
# programs that stand in for the editor's Lua extension in tests.
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
