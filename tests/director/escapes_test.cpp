// The director's escapes in both directions, each against the stand-in's model of SciTE: what
// we write must read back as meant by SciTE's decoding of commands, and what SciTE's escaping of
// replies writes must read back whole by ours. Our two functions are not inverses of each other.
// Request lines to the GTK SciTE against exact bytes: what its strict UTF-8 reader must get.
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
  EXPECT_EQ(standin::unslash(director::outputEscaped(text)), text);
}

TEST(Escapes, WeReadWhatSciteWritesWhole) {
  const std::string text = everyByteAndTrickySequences();
  EXPECT_EQ(director::unescapeReply(standin::slash(text)), text);
}

TEST(Escapes, RepliesEscapedAsSciteForWindowsEscapesThem) {
  const std::string text = everyByteAndTrickySequences();
  EXPECT_EQ(director::replyEscaped(text), standin::slash(text));
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

TEST(Escapes, RequestsKeepStrictUtf8AndEscapeEverythingElse) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"output:caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF",
       "output:caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF"},
      // An overlong three-byte sequence, one above U+10FFFF, a truncated one.
      {"\xE0\x80\xAF\xF4\x90\x80\x80\xE2\x82"
       "A",
       R"(\340\200\257\364\220\200\200\342\202A)"},
      {"\xC0\xAF\xC1\xBF\xF0\x8F\xBF\xBF", R"(\300\257\301\277\360\217\277\277)"},
      {"\xED\xA0\x80\xED\x9F\xBF", "\\355\\240\\200\xED\x9F\xBF"},
      {"\x80\xBF\xF5\x80\xFF", R"(\200\277\365\200\377)"},
      {"\xC3", R"(\303)"},
      {std::string_view("a\0\t\r\n\x1F\x7F", 7), R"(a\000\011\015\012\037\177)"},
      {":/x:askproperty:a", R"(\072/x:askproperty:a)"},
      {"askproperty:a:b", "askproperty:a:b"},
      {R"(output:\n\x41\\)", R"(output:\n\x41\\)"},
      {"", ""},
  };
  for (const auto& [command, line] : cases) {
    EXPECT_EQ(director::requestEscaped(command), line) << command;
  }
}

}  // namespace
