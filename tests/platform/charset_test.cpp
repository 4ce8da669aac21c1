// A charset's bytes to UTF-8 through the system's iconv, as the GTK editor draws them.
#include "platform/posix/charset.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/text.h"

namespace {

struct CharsetRow {
  const char* name;
  std::string_view charset;
  std::string bytes;
  std::optional<std::string> expected;
};

TEST(CharsetConverter, ConvertsAsTheGtkEditorDrawsTheDocument) {
  std::string everyByte;
  for (int byte = 0; byte < 256; ++byte) {
    everyByte += static_cast<char>(byte);
  }
  const CharsetRow rows[] = {
      // The companion reads the default character set's ISO-8859-1 as Latin-1 without iconv.
      {"ISO-8859-1 is Latin-1", "ISO-8859-1", everyByte, platform::latin1ToUtf8(everyByte)},
      {"Latin-1", "ISO-8859-1",
       "Gr\xF6\xDF"
       "e caf\xE9",
       "Gr\xC3\xB6\xC3\x9F"
       "e caf\xC3\xA9"},
      {"KOI8-R", "KOI8-R", "\xF0\xD2\xC9\xD7\xC5\xD4",
       "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
      {"a 0x5C trail byte", "SHIFT-JIS", "\x95\x5C\x8E\xA6\x82\xCC\x93\xFA\x96\x7B\x8C\xEA",
       "\xE8\xA1\xA8\xE7\xA4\xBA\xE3\x81\xAE\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"},
      {"a lone lead byte at the end", "SHIFT-JIS", "\x93\xFA\x96", std::nullopt},
      // What iconv refuses is drawn as Latin-1, and the rest still converts.
      {"a refused byte", "SHIFT-JIS", "\x93\xFA\xA0\x93\xFA", "\xE6\x97\xA5\xC2\xA0\xE6\x97\xA5"},
      {"a byte ASCII has not", "ASCII", "a\xE9", "a\xC3\xA9"},
      {"a charset iconv does not know", "NO-SUCH-CHARSET", "\xE9", "\xC3\xA9"},
      {"empty", "KOI8-R", "", ""},
      {"longer than one chunk", "ISO-8859-1", std::string(700, '\xE9'),
       [] {
         std::string out;
         for (int i = 0; i < 700; ++i) {
           out += "\xC3\xA9";
         }
         return out;
       }()},
  };
  for (const CharsetRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(platform::utf8FromCharset(row.bytes, row.charset), row.expected);
  }
}

}  // namespace
