// Lua string literals built one way for every text that comes from the user.
#include "companion/scite/lua_literal.h"

namespace companion {

namespace {

[[nodiscard]] constexpr bool standsForItself(unsigned char byte) noexcept {
  return byte >= 0x20 && byte < 0x7F && byte != '\'' && byte != '\\';
}

}  // namespace

std::string luaLiteral(std::string_view text) {
  std::string literal = "'";
  literal.reserve(text.size() * kLuaLiteralGrowth + 2);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (standsForItself(byte)) {
      literal += c;
      continue;
    }
    // Three digits always: a digit that follows in the text must not join the escape.
    literal += "\\\\";
    literal += static_cast<char>('0' + byte / 100);
    literal += static_cast<char>('0' + byte / 10 % 10);
    literal += static_cast<char>('0' + byte % 10);
  }
  literal += '\'';
  return literal;
}

}  // namespace companion
