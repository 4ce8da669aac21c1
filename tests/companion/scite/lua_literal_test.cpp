// User text as a Lua literal that SciTE's director interface passes through unchanged.
#include "companion/scite/lua_literal.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

TEST(LuaLiteral, EscapesEveryByteButPrintableAscii) {
  struct Case {
    const char* name;
    std::string text;
    std::string literal;
  };
  const Case cases[] = {
      {"empty", "", "''"},
      {"printable ASCII as it is", "a \"b\" ~$(x)", "'a \"b\" ~$(x)'"},
      {"the quote", "it's", "'it\\\\039s'"},
      {"the backslash", "C:\\x", "'C:\\\\092x'"},
      {"a digit after an escape stays apart", "\n1", "'\\\\0101'"},
      {"NUL and DEL", "\0\x7F"s, "'\\\\000\\\\127'"},
      {"UTF-8 byte by byte", "\xC3\xBC", "'\\\\195\\\\188'"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(companion::luaLiteral(c.text), c.literal) << c.name;
  }
}

}  // namespace
