// The launcher's fixed texts, byte for byte, and how paths and selections are put into them.
#include <gtest/gtest.h>

#include "director/escapes.h"
#include "launcher/flow.h"

namespace {

TEST(LauncherTexts, BannerShowsVersionTimeAndTheDoubledPath) {
  EXPECT_EQ(launcher::bannerText("1.0", "[14:03:09]",
                                 director::outputEscaped(R"(C:\Tools\launcher.exe)")),
            R"(>> Velk-SciTE-Interface [v1.0] by @Zorvik\n-> [14:03:09] Running: )"
            R"(C:\\Tools\\launcher.exe)");
}

TEST(LauncherTexts, BackslashesDoubledLineBreaksEscapedNothingElseChanges) {
  const std::pair<std::string, std::string> cases[] = {
      {R"(\\server\share\a.exe)", R"(\\\\server\\share\\a.exe)"},
      {"C:/Tools/launcher.exe", "C:/Tools/launcher.exe"},
      {"", ""},
      {"\\", "\\\\"},
      {"caf\xC3\xA9\\x", "caf\xC3\xA9\\\\x"},
      {"a\r\nb\n", R"(a\r\nb\n)"},
  };
  for (const auto& [path, shown] : cases) {
    EXPECT_EQ(director::outputEscaped(path), shown) << path;
  }
}

TEST(LauncherTexts, SelectionIsEchoedUnchanged) {
  EXPECT_EQ(launcher::selectionLine(""), "+> Selection: ");
  EXPECT_EQ(launcher::selectionLine(R"(a\nb "q" \\)"), R"(+> Selection: a\nb "q" \\)");
}

TEST(LauncherTexts, MissingCompanionLineShowsThePathAsSciteWillDisplayIt) {
  // SciTE reads escapes in output texts: "\t", "\b" and "\n" inside a raw path would mangle it.
  EXPECT_EQ(launcher::missingCompanionLine(R"(C:\tmp\build\new\websearch.exe)"),
            R"(!> ERROR: Can't find file "C:\\tmp\\build\\new\\websearch.exe"!)");
}

TEST(LauncherTexts, CommandLineQuotesThePathButNotTheSelection) {
  EXPECT_EQ(launcher::companionCommandLine(R"(C:\Tools\websearch.exe)", "foo bar"),
            R"("C:\Tools\websearch.exe" foo bar)");
  EXPECT_EQ(launcher::companionCommandLine(R"(C:\websearch.exe)", ""), R"("C:\websearch.exe" )");
  EXPECT_EQ(launcher::companionCommandLine("w.exe", "say \"hi\"\r\nx"),
            "\"w.exe\" say \"hi\"\r\nx");
}

TEST(LauncherTexts, SelectionCutOnlyBetweenWholeCharactersAndEscapes) {
  const std::string smiley = "\xF0\x9F\x98\x80";  // two UTF-16 units
  const std::string e = "\xC3\xA9";               // one unit in two bytes
  const std::string stray = "\x80";  // a continuation byte without a lead: Latin-1 text
  const struct {
    std::string selection;
    std::size_t room;
    std::string kept;
  } cases[] = {
      {"abc", 3, "abc"},
      {"abcd", 3, "abc"},
      {"ab" + smiley, 3, "ab"},
      {"ab" + smiley, 4, "ab" + smiley},
      {"ab" + e, 3, "ab" + e},
      {"ab" + e, 2, "ab"},
      {R"(ab\\c)", 3, "ab"},
      {R"(a\012b)", 4, "a"},
      {R"(a\012b)", 5, R"(a\012)"},
      {R"(a\q)", 2, R"(a\)"},  // no escape: the backslash stands for itself
      {R"(\n\n\n)", 5, R"(\n\n)"},
      {smiley + smiley + smiley, 5, smiley + smiley},
      {"a" + stray + "b", 2, "a" + stray},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(launcher::selectionWithin(c.selection, c.room), c.kept) << c.selection << c.room;
  }
}

TEST(LauncherTexts, CommandLineWithinTheSystemsLimit) {
  // The quoted path, the blank and the NUL, in UTF-16 units of the 32,767 ("\xC3\xA9" is one).
  const std::pair<std::string, std::size_t> cases[] = {{"w.exe", 9}, {"w\xC3\xA9.exe", 10}};
  for (const auto& [path, used] : cases) {
    const std::string fits(launcher::kMaxCommandLineUnits - used, 'a');
    const std::string start = '"' + path + "\" ";
    EXPECT_EQ(launcher::companionCommandLine(path, fits), start + fits) << path;
    EXPECT_EQ(launcher::companionCommandLine(path, fits + "b"), start + fits) << path;
  }
}

TEST(LauncherTexts, LongTextInPiecesOfWholeCharactersAndEscapes) {
  const std::string e = "\xC3\xA9";  // one character in two bytes
  const struct {
    std::string text;
    std::size_t room;
    std::vector<std::string> pieces;
  } cases[] = {
      {"abc", 3, {"abc"}},
      {"abcd", 3, {"abc", "d"}},
      {"ab" + e + "c", 3, {"ab", e + "c"}},
      {R"(a\n\\b)", 2, {"a", R"(\n)", R"(\\)", "b"}},
      {R"(\101b)", 2, {R"(\101)", "b"}},  // an escape longer than the room still goes whole
      {"", 3, {}},
  };
  for (const auto& c : cases) {
    const auto pieces = launcher::piecesWithin(c.text, c.room);
    EXPECT_EQ(std::vector<std::string>(pieces.begin(), pieces.end()), c.pieces) << c.text;
  }
}

}  // namespace
