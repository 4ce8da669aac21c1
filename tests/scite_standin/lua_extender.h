// The stand-in's Lua extension: a Lua 5.4 state with SciTE's `editor`, `output` and `props`
// over the editor state, running "extender:dostring" code.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "director_core.h"

struct lua_State;

namespace standin {

class LuaExtender : public Extender {
public:
  explicit LuaExtender(EditorState& state);

  [[nodiscard]] std::optional<std::string> doString(std::string_view code) override;

private:
  struct Closer {
    void operator()(lua_State* lua) const noexcept;
  };

  EditorState& state_;
  std::unique_ptr<lua_State, Closer> lua_;
};

}  // namespace standin
