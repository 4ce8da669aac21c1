// The director's escapes in both directions, each against the stand-in's model of SciTE: what
// we write must read back as meant by SciTE's decoding of commands, and what SciTE's escaping of
// replies writes must read back whole by ours. Our two functions are not inverses of each other.
#include "director/escapes.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/scite_standin/escapes.h"

namespace {

// Every byte, and the sequences where the two grammars differ: \x, octal digits after a
// backslash, a backslash at the end.
std::string everyByteAndTrickySequences() {
  std::string text;
  for (int byte = 0; byte < 256; ++byte) {
    text.push_back(static_cast<char>(byte));
  }
  return text + R"(\x41\101\400\08\n\\n\q)" + "\\";
}

TEST(Escapes, SciteReadsWhatWeWriteAsMeant) {
  const std::string text = everyByteAndTrickySequences();
  EXPECT_EQ(standin::unslash(director::OutputEscaped(text)), text);
}

TEST(Escapes, WeReadWhatSciteWritesWhole) {
  const std::string text = everyByteAndTrickySequences();
  EXPECT_EQ(director::unescapeReply(standin::slash(text)), text);
}

TEST(Escapes, RepliesEscapedAsSciteForWindowsEscapesThem) {
  const std::string text = everyByteAndTrickySequences();
  EXPECT_EQ(director::ReplyEscaped(text), standin::slash(text));
}

TEST(Escapes, RepliesReadOnlyByWhatSciteWrites) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {R"(\a\b\f\n\r\t\v)", "\a\b\f\n\r\t\v"},
      {R"(\\n)", R"(\n)"},
      {R"(\\\n)", "\\\n"},
      {R"(\000x)", std::string_view("\0x", 2)},
      {R"(\177\377)", "\x7F\xFF"},
      {R"(\400)", R"(\400)"},
      {R"(\08)", R"(\08)"},
      {R"(\018)", R"(\018)"},
      {R"(\12)", R"(\12)"},
      {R"(\)", R"(\)"},
      // The text ends at the backslash; the "n" after it in memory is not the text's.
      {std::string_view(R"(a\n)", 2), R"(a\)"},
      {R"(\"\x41)", R"(\"\x41)"},
  };
  for (const auto& [escaped, plain] : cases) {
    EXPECT_EQ(director::unescapeReply(escaped), plain) << escaped;
  }
}

}  // namespace
