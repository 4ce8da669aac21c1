// The launcher's command line: the selection after the program's name, and the room it had.
#include "companion/query/command_line.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "director/escapes.h"

namespace {

// What the launcher's command line carries: the selection, and the room it had for it.
struct CommandLineSelection {
  std::string selection;
  std::size_t room = 0;
  bool operator==(const CommandLineSelection&) const = default;
};

struct CommandLineCase {
  const char* name;
  std::string_view commandLine;
  CommandLineSelection expected;
};

TEST(SelectionFromCommandLine, TakesEverythingAfterTheNameAndOneBlank) {
  // The room: the system's limit less the name, its blank and the NUL, in UTF-16 units.
  constexpr std::size_t kMax = director::kMaxCommandLineUnits;
  const CommandLineCase cases[] = {
      {"quoted path with blanks",
       R"("C:\Program Files\Tools\websearch.exe" foo bar)",
       {"foo bar", kMax - 40}},
      {"only the first blank goes",
       R"("C:\Tools\websearch.exe"   two  "x" \\)",
       {R"(  two  "x" \\)", kMax - 26}},
      {"unquoted path", R"(C:\Tools\websearch.exe foo)", {"foo", kMax - 24}},
      {"tab after the name", "websearch.exe\tfoo bar", {"foo bar", kMax - 15}},
      {"no blank after the name", R"("C:\Tools\websearch.exe")", {"", kMax - 25}},
      {"a blank and nothing more", R"("C:\Tools\websearch.exe" )", {"", kMax - 26}},
      {"unquoted name alone", "websearch.exe", {"", kMax - 14}},
      {"empty command line", "", {"", kMax - 1}},
      {"quotes inside the name", R"(C:\"Program Files"\websearch.exe a)", {"a", kMax - 34}},
      {"text right after the closing quote belongs to the name",
       R"("C:\a b\w.exe"x y)",
       {"y", kMax - 17}},
      {"unclosed quote swallows the rest", R"("C:\a b\websearch.exe foo)", {"", kMax - 26}},
      {"a path counted in UTF-16 units",
       "\"C:\\caf\xC3\xA9\\\xF0\x9F\x98\x80\\w.exe\" a",
       {"a", kMax - 20}},
  };
  for (const auto& c : cases) {
    const CommandLineSelection got{companion::selectionFromCommandLine(c.commandLine),
                                   companion::selectionRoom(c.commandLine)};
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

TEST(SearchText, FoldsTheSelectionAfterTheName) {
  EXPECT_EQ(companion::foldedSelection(R"(w.exe  a\tb\n)"), "a b");
}

}  // namespace
