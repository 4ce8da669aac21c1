// Splitting and joining paths: the launcher's own calls, and the normalisation rules around them.
#include "launcher/paths.h"

#include <gtest/gtest.h>

namespace {

using launcher::joinPath;
using launcher::splitPath;

TEST(SplitPath, SplitsAtTheLastSeparatorOfEitherKind) {
  struct Case {
    std::string_view path;
    launcher::PathParts expected;
  };
  const Case cases[] = {
      {"websearch.exe", {"", "websearch.exe"}},
      {"", {"", ""}},
      {R"(\launcher.exe)", {R"(\)", "launcher.exe"}},
      {"/launcher.exe", {"/", "launcher.exe"}},
      {R"(C:\Tools\launcher.exe)", {R"(C:\Tools)", "launcher.exe"}},
      {R"(C:\launcher.exe)", {"C:", "launcher.exe"}},
      {"C:/Tools/launcher.exe", {"C:/Tools", "launcher.exe"}},
      {R"(C:\Tools/sub\x.exe)", {R"(C:\Tools/sub)", "x.exe"}},
      {R"(C:\Tools\)", {R"(C:\Tools)", ""}},
      {R"(\\server\share\x.exe)", {R"(\\server\share)", "x.exe"}},
      {R"(\\server)", {R"(\)", "server"}},
      {R"(a\\b)", {R"(a\)", "b"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(splitPath(c.path), c.expected) << c.path;
  }
}

struct JoinCase {
  std::string_view head;
  std::string_view tail;
  std::string_view expected;
};

void expectJoins(std::initializer_list<JoinCase> cases) {
  for (const auto& c : cases) {
    EXPECT_EQ(joinPath(c.head, c.tail), c.expected) << '"' << c.head << "\" + \"" << c.tail << '"';
  }
}

TEST(JoinPath, PutsOneBackslashBetweenDirectoryAndName) {
  expectJoins({
      {R"(C:\Tools)", "websearch.exe", R"(C:\Tools\websearch.exe)"},
      {R"(C:\Tools\)", "websearch.exe", R"(C:\Tools\websearch.exe)"},
      {R"(C:\Tools\\\)", "websearch.exe", R"(C:\Tools\websearch.exe)"},
      {"C:/Tools", "websearch.exe", R"(C:\Tools\websearch.exe)"},
      {"C:/Tools/", "websearch.exe", R"(C:\Tools\websearch.exe)"},
      {"C:", "websearch.exe", R"(C:\websearch.exe)"},
      {"", "websearch.exe", "websearch.exe"},
      {"a", R"(\b)", R"(a\b)"},
      {"a", "b/c", R"(a\b\c)"},
      {R"(a\\\b)", R"(c//d)", R"(a\b\c\d)"},
  });
}

TEST(JoinPath, KeepsRootsAsTheyAre) {
  expectJoins({
      {R"(\)", "x", R"(\x)"},
      {"/", "x", R"(\x)"},
      {R"(\\\)", "x", R"(\x)"},
      {"", R"(\x)", R"(\x)"},
      {R"(\)", R"(\x)", R"(\x)"},
      {R"(C:\)", "x", R"(C:\x)"},
      {R"(\\server\share)", "x", R"(\\server\share\x)"},
      {R"(\\server\share\)", "x", R"(\\server\share\x)"},
      {"//server/share", "x", R"(\\server\share\x)"},
      {R"(\\server)", "x", R"(\\server\x)"},
      {R"(\\a)", "x", R"(\\a\x)"},
      {R"(\\.\pipe)", "x", R"(\\.\pipe\x)"},
      {R"(\\?\C:\Tools)", "x", R"(\\?\C:\Tools\x)"},
  });
}

TEST(JoinPath, DotsAreResolvedWithoutLeavingTheRoot) {
  expectJoins({
      {R"(C:\Tools\.\bin)", "x", R"(C:\Tools\bin\x)"},
      {R"(C:\Tools\bin\..)", "x", R"(C:\Tools\x)"},
      {R"(C:\Tools)", R"(..\other\x)", R"(C:\other\x)"},
      {R"(C:\Tools)", R"(..\..\x)", R"(C:\..\x)"},
      {R"(c:\Tools)", R"(..\..\x)", R"(c:\..\x)"},
      {"C:", "..", R"(C:\..)"},
      {R"(\a)", R"(..\..)", R"(\..)"},
      {R"(\\server\share)", R"(..\..\x)", R"(\\server\..\x)"},
      {"a", "..", "."},
      {"a", R"(..\..)", ".."},
      {"..", "..", R"(..\..)"},
      {R"(..\a)", "..", ".."},
      {".", ".", "."},
      {"./", "", R"(.)"},
      {R"(a\.)", "b", R"(a\b)"},
      {R"(a\..)", "b", "b"},
      {"...", "x", R"(...\x)"},
      {"a.", ".b", R"(a.\.b)"},
  });
}

TEST(JoinPath, TrailingSeparatorOfTheLastPartIsKept) {
  expectJoins({
      {"a", R"(b\)", R"(a\b\)"},
      {"a", "b//", R"(a\b\)"},
      {R"(a\)", "", R"(a\)"},
      {"a/", "", R"(a\)"},
      {"a", "", "a"},
      {R"(C:\)", "", R"(C:\)"},
      {"C:", R"(\)", R"(C:\)"},
      {R"(\)", "", R"(\)"},
      {"", R"(\)", R"(\)"},
      {"", "", ""},
      {R"(a\..\)", "", "."},
  });
}

TEST(JoinPath, BytesOfComponentsPassUnchanged) {
  expectJoins({
      {"C:\\T\xC3\xB6\xC3\xB6ls", "\xFF\xFE.exe", "C:\\T\xC3\xB6\xC3\xB6ls\\\xFF\xFE.exe"},
      {std::string_view("a\0b", 3), "c", std::string_view("a\0b\\c", 5)},
  });
}

}  // namespace
