// SciTE's Lua objects for the stand-in: a few host functions in C++, shaped into `editor`,
// `output` and `props` by a short Lua prelude.
#include "lua_extender.h"

#include <lua.hpp>
#include <stdexcept>

namespace standin {

namespace {

// The objects as scripts see them; the host functions arrive as the chunk's argument.
constexpr std::string_view kPrelude = R"lua(
local host = ...
local function indexer(get) return setmetatable({}, {__index = function(_, at) return get(at) end}) end
editor = setmetatable({
  GetSelText = function(self) return host.selText() end,
  GetText = function(self) return host.text() end,
  LineFromPosition = function(self, pos) return host.lineFromPosition(pos) end,
  GetLine = function(self, line) return host.line(line) end,
  PositionFromLine = function(self, line) return host.positionFromLine(line) end,
  WordStartPosition = function(self, pos, only) return host.wordStart(pos, only) end,
  WordEndPosition = function(self, pos, only) return host.wordEnd(pos, only) end,
  textrange = function(self, from, to) return host.textRange(from, to) end,
  GetCurLine = function(self)
    local p = host.editorProperty('CurrentPos')
    local line = host.lineFromPosition(p)
    return host.line(line), p - host.positionFromLine(line)
  end,
  CharAt = indexer(host.charAt),
  Column = indexer(host.column),
  StyleAt = indexer(host.styleAt),
  -- The stand-in's documents are UTF-8, as SciTE's with code.page=65001; the default style's
  -- character set is SciTE's default.
  StyleCharacterSet = indexer(function() return 1 end),
}, {__index = function(_, name) return host.editorProperty(name) end})
output = setmetatable({
  CodePage = 65001,
  ClearAll = function(self) host.clearOutput() end,
  AppendText = function(self, text) host.appendOutput(tostring(text)) end,
}, {__index = function(_, name) if name == 'Focus' then return host.outputFocused() end end})
props = setmetatable({}, {
  __index = function(_, key) return host.property(key) end,
  __newindex = function(_, key, value) host.setProperty(key, value) end,
})
function print(...)
  local parts = table.pack(...)
  for i = 1, parts.n do parts[i] = tostring(parts[i]) end
  host.appendOutput(table.concat(parts, '\t', 1, parts.n) .. '\n')
end
)lua";

EditorState& stateOf(lua_State* lua) {
  return *static_cast<EditorState*>(lua_touserdata(lua, lua_upvalueindex(1)));
}

std::string_view stringArgument(lua_State* lua, int index) {
  std::size_t size = 0;
  const char* text = luaL_checklstring(lua, index, &size);
  return {text, size};
}

void pushString(lua_State* lua, std::string_view text) {
  lua_pushlstring(lua, text.data(), text.size());
}

int selText(lua_State* lua) {
  const std::string text = stateOf(lua).document.selectedText();
  pushString(lua, text);
  lua_pushinteger(lua, static_cast<lua_Integer>(text.size()));
  return 2;
}

int text(lua_State* lua) {
  pushString(lua, stateOf(lua).document.text());
  return 1;
}

int lineFromPosition(lua_State* lua) {
  lua_pushinteger(lua, stateOf(lua).document.lineFromPosition(luaL_checkinteger(lua, 1)));
  return 1;
}

int line(lua_State* lua) {
  pushString(lua, stateOf(lua).document.line(luaL_checkinteger(lua, 1)));
  return 1;
}

int positionFromLine(lua_State* lua) {
  lua_pushinteger(lua, stateOf(lua).document.positionFromLine(luaL_checkinteger(lua, 1)));
  return 1;
}

int charAt(lua_State* lua) {
  lua_pushinteger(lua, stateOf(lua).document.charAt(luaL_checkinteger(lua, 1)));
  return 1;
}

int column(lua_State* lua) {
  lua_pushinteger(lua, stateOf(lua).document.column(luaL_checkinteger(lua, 1)));
  return 1;
}

int wordStart(lua_State* lua) {
  lua_pushinteger(lua, stateOf(lua).document.wordStartPosition(luaL_checkinteger(lua, 1),
                                                               lua_toboolean(lua, 2) != 0));
  return 1;
}

int wordEnd(lua_State* lua) {
  lua_pushinteger(lua, stateOf(lua).document.wordEndPosition(luaL_checkinteger(lua, 1),
                                                             lua_toboolean(lua, 2) != 0));
  return 1;
}

int textRange(lua_State* lua) {
  const lua_Integer start = luaL_checkinteger(lua, 1);
  const lua_Integer end = luaL_checkinteger(lua, 2);
  pushString(lua, stateOf(lua).document.textRange(start, end));
  return 1;
}

int styleAt(lua_State* lua) {
  lua_pushinteger(lua, stateOf(lua).document.styleAt(luaL_checkinteger(lua, 1)));
  return 1;
}

int editorProperty(lua_State* lua) {
  const Document& document = stateOf(lua).document;
  const std::string_view name = stringArgument(lua, 1);
  if (name == "CurrentPos") {
    lua_pushinteger(lua, document.currentPos());
  } else if (name == "Anchor") {
    lua_pushinteger(lua, document.anchor());
  } else if (name == "SelectionStart") {
    lua_pushinteger(lua, document.selectionStart());
  } else if (name == "SelectionEnd") {
    lua_pushinteger(lua, document.selectionEnd());
  } else if (name == "Length" || name == "TextLength") {
    lua_pushinteger(lua, document.length());
  } else if (name == "LineCount") {
    lua_pushinteger(lua, document.lineCount());
  } else if (name == "CodePage") {
    lua_pushinteger(lua, 65001);
  } else {
    return luaL_error(lua, "'%s' is not a member of editor", lua_tostring(lua, 1));
  }
  return 1;
}

int outputFocused(lua_State* lua) {
  lua_pushboolean(lua, stateOf(lua).outputFocused ? 1 : 0);
  return 1;
}

int clearOutput(lua_State* lua) {
  stateOf(lua).output.clear();
  return 0;
}

int appendOutput(lua_State* lua) {
  stateOf(lua).output += stringArgument(lua, 1);
  return 0;
}

int property(lua_State* lua) {
  const PropertyMap& properties = stateOf(lua).properties;
  const auto found = properties.find(stringArgument(lua, 1));
  pushString(lua, found == properties.end() ? std::string_view() : found->second);
  return 1;
}

int setProperty(lua_State* lua) {
  // Lua errors unwind without destructors, so every check comes before any C++ object exists.
  const std::string_view key = stringArgument(lua, 1);
  const int type = lua_type(lua, 2);
  if (type != LUA_TNONE && type != LUA_TNIL && type != LUA_TSTRING && type != LUA_TNUMBER) {
    return luaL_error(lua, "a property value must be a string or a number");
  }
  PropertyMap& properties = stateOf(lua).properties;
  if (type == LUA_TNONE || type == LUA_TNIL) {
    properties.erase(std::string(key));
  } else {
    properties[std::string(key)] = std::string(stringArgument(lua, 2));
  }
  return 0;
}

constexpr luaL_Reg kHostFunctions[] = {
    {"selText", selText},
    {"text", text},
    {"lineFromPosition", lineFromPosition},
    {"line", line},
    {"positionFromLine", positionFromLine},
    {"charAt", charAt},
    {"column", column},
    {"styleAt", styleAt},
    {"wordStart", wordStart},
    {"wordEnd", wordEnd},
    {"textRange", textRange},
    {"editorProperty", editorProperty},
    {"clearOutput", clearOutput},
    {"outputFocused", outputFocused},
    {"appendOutput", appendOutput},
    {"property", property},
    {"setProperty", setProperty},
    {nullptr, nullptr},
};

// Runs the loaded chunk on top of the stack with `arguments` values above it.
std::optional<std::string> call(lua_State* lua, int arguments) {
  if (lua_pcall(lua, arguments, 0, 0) == LUA_OK) {
    return std::nullopt;
  }
  std::string message = lua_tostring(lua, -1) ? lua_tostring(lua, -1) : "error";
  lua_pop(lua, 1);
  return message;
}

}  // namespace

void LuaExtender::Closer::operator()(lua_State* lua) const noexcept {
  lua_close(lua);
}

LuaExtender::LuaExtender(EditorState& state) : state_(state), lua_(luaL_newstate()) {
  lua_State* lua = lua_.get();
  if (lua == nullptr) {
    throw std::runtime_error("no memory for a Lua state");
  }
  luaL_openlibs(lua);
  if (luaL_loadbuffer(lua, kPrelude.data(), kPrelude.size(), "=prelude") != LUA_OK) {
    throw std::runtime_error(lua_tostring(lua, -1));
  }
  lua_newtable(lua);
  lua_pushlightuserdata(lua, &state_);
  luaL_setfuncs(lua, kHostFunctions, 1);
  if (const auto error = call(lua, 1)) {
    throw std::runtime_error(*error);
  }
}

std::optional<std::string> LuaExtender::doString(std::string_view code) {
  lua_State* lua = lua_.get();
  // Like SciTE, the code itself names the chunk in error messages.
  const std::string name(code);
  if (luaL_loadbuffer(lua, code.data(), code.size(), name.c_str()) != LUA_OK) {
    std::string message = lua_tostring(lua, -1);
    lua_pop(lua, 1);
    return message;
  }
  return call(lua, 0);
}

}  // namespace standin
