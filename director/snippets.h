// The Lua code the client sends to SciTE to read the selection and the caret position.
#pragma once

#include <string_view>

namespace director {

// getSel(): the selected text, "<@@>" and the second value of editor:GetSelText().
inline constexpr std::string_view LuaGetSelection =
    "function getSel() local s, l = editor:GetSelText() return s..'<@@>'..tostring(l) end";
static_assert(LuaGetSelection.size() == 84);

// currPos(_pos): nine "<@@>"-joined facts about a position (the caret by default). Its
// backslashes are doubled because SciTE decodes escapes before Lua reads the code.
inline constexpr std::string_view LuaCurrPos =
    "function currPos(_pos) local sep, result, tmp, tmp1, tmp2, tmp3 = '<@@>', '', _pos or "
    "editor.CurrentPos result = tostring(tmp)..sep  tmp1 = editor:LineFromPosition(tmp) "
    "result = result..tostring(tmp1)..sep  tmp2 = editor:GetLine(tmp1)tmp2 = "
    "string.gsub(tmp2, '[\\\\r\\\\n]+$', '') result = "
    "result..tostring(tmp2)..sep..tostring(#tmp2)..sep  tmp1 = "
    "editor:PositionFromLine(tmp1) result = result..tostring(tmp1)..sep tmp1 = "
    "editor.CharAt[tmp] result = result..tostring(tmp1)..sep tmp1 = string.char(tmp1) "
    "result = result..tostring(tmp1)..sep tmp1 = editor.Column[tmp] result = "
    "result..tostring(tmp1)..sep tmp1 = editor.StyleAt[tmp] result = "
    "result..tostring(tmp1) return result end ";
static_assert(LuaCurrPos.size() == 676);

}  // namespace director
