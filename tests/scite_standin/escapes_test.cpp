// SciTE's escapes as the stand-in decodes commands and encodes answers, and its file escapes.
#include "escapes.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

TEST(Unslash, DecodesAsSciTEDoes) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"plain", "plain"},
      {"a\\nb", "a\nb"},
      {"\\a\\b\\f\\n\\r\\t\\v", "\a\b\f\n\r\t\v"},
      {"one\\\\two", "one\\two"},
      {"C:\\Tools", "C:Tools"},
      {"\\\"q\\'", "\"q'"},
      {"\\101\\0611", "A11"},
      {"\\7z", "\az"},
      {"\\0", "\0"s},
      {"\\8", "8"},
      {"\\x41BC", "AC"},  // the character after the two digits is swallowed
      {"\\x41", "A"},
      {"\\x4", "\0"s + "4"},
      {"\\xZ1", "\0"s + "Z1"},
      {"end\\", "end"},
      {"\xC3\xA9\\n", "\xC3\xA9\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(standin::unslash(c.in), c.out) << c.in;
  }
}

TEST(Slash, EscapesControlsAndBackslashesOnly) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"two words", "two words"},        {"a\r\nb", "a\\r\\nb"},
      {"\a\b\f\t\v", "\\a\\b\\f\\t\\v"}, {"C:\\x", "C:\\\\x"},
      {"\x01\x1F", "\\001\\037"},        {"\"q\" '\xC3\xA9' \x7F", "\"q\" '\xC3\xA9' \x7F"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(standin::slash(c.in), c.out) << c.in;
  }
}

TEST(Slash, UnslashUndoesIt) {
  const std::string samples[] = {"a\r\nb\\c", "\x01\x02\x1F", "\t\"x\"", "\\\\"};
  for (const auto& s : samples) {
    EXPECT_EQ(standin::unslash(standin::slash(s)), s);
  }
}

TEST(FileEscapes, AreLosslessForEveryByte) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) {
    all += static_cast<char>(byte);
  }
  const std::string encoded = standin::encodeValue(all);
  EXPECT_EQ(encoded.find('\n'), std::string::npos);
  EXPECT_EQ(standin::decodeValue(encoded), all);
  EXPECT_EQ(standin::decodeValue("a\\x4g\\q\\"), "ax4gq\\");
}

}  // namespace
