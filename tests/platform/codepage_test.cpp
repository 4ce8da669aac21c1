// A code page's bytes to UTF-8: under Wine through its real code pages, on the host through a
// fake that knows the few characters of the rows.
#include "platform/win32/codepage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#ifndef _WIN32
#include "tests/support/slot_swap.h"
#endif

namespace {

#ifndef _WIN32
struct FakeCharacter {
  UINT codePage;
  std::string_view bytes;
  WCHAR unit;
};

constexpr UINT kShiftJis = 932;

constexpr FakeCharacter kFakeCharacters[] = {
    {1252, "\x80", 0x20AC},    {1252, "\xF6", 0xF6},      {1252, "\xDF", 0xDF},
    {1252, "\xE9", 0xE9},      {1251, "\xCF", 0x41F},     {1251, "\xF0", 0x440},
    {1251, "\xE8", 0x438},     {932, "\x95\x5C", 0x8868}, {932, "\x8E\xA6", 0x793A},
    {932, "\x82\xCC", 0x306E}, {932, "\x93\xFA", 0x65E5}, {932, "\x96\x7B", 0x672C},
    {932, "\x8C\xEA", 0x8A9E},
};

BOOL WINAPI fakeIsDBCSLeadByteEx(UINT codePage, BYTE byte) {
  return static_cast<BOOL>(codePage == kShiftJis &&
                           ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)));
}

// ASCII as it is, the table's characters, U+30FB for anything else, as Windows shows it; 0 for
// a code page the table does not know, as Windows answers one it has not installed.
int WINAPI fakeMultiByteToWideChar(UINT codePage, DWORD /*flags*/, LPCSTR bytes, int count,
                                   LPWSTR wide, int wideCount) {
  if (std::ranges::none_of(kFakeCharacters, [codePage](const FakeCharacter& character) {
        return character.codePage == codePage;
      })) {
    return 0;
  }
  const std::string_view text(bytes, static_cast<std::size_t>(count));
  WString out;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t length = 1;
    WCHAR unit =
        static_cast<unsigned char>(text[at]) < 0x80 ? static_cast<WCHAR>(text[at]) : 0x30FB;
    for (const FakeCharacter& character : kFakeCharacters) {
      if (character.codePage == codePage && text.substr(at).starts_with(character.bytes)) {
        length = character.bytes.size();
        unit = character.unit;
      }
    }
    out.push_back(unit);
    at += length;
  }
  if (wide != nullptr) {
    out.copy(wide, static_cast<std::size_t>(wideCount));
  }
  return static_cast<int>(out.size());
}
#endif

struct CodePageRow {
  const char* name;
  UINT codePage;
  std::string bytes;
  std::optional<std::string> expected;
};

TEST(CodePageConverter, ConvertsAsSciteDrawsTheDocument) {
#ifdef _WIN32
  platform::bindGroup(platform::codepage::bindings());
#else
  test_support::SlotSwaps slots;
  slots.swap(platform::codepage::MultiByteToWideChar, fakeMultiByteToWideChar);
  slots.swap(platform::codepage::IsDBCSLeadByteEx, fakeIsDBCSLeadByteEx);
#endif
  const CodePageRow rows[] = {
      {"the euro sign", 1252, "\x80", "\xE2\x82\xAC"},
      {"not a four-byte lead", 1252,
       "Gr\xF6\xDF"
       "e caf\xE9",
       "Gr\xC3\xB6\xC3\x9F"
       "e caf\xC3\xA9"},
      {"Cyrillic", 1251, "\xCF\xF0\xE8", "\xD0\x9F\xD1\x80\xD0\xB8"},
      {"a 0x5C and a 0x7B trail byte", 932, "\x95\x5C\x8E\xA6\x82\xCC\x93\xFA\x96\x7B\x8C\xEA",
       "\xE8\xA1\xA8\xE7\xA4\xBA\xE3\x81\xAE\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"},
      {"a last trail byte that looks like a lead", 932, "\x96\x7B\x93\xFA",
       "\xE6\x9C\xAC\xE6\x97\xA5"},
      {"a lone lead byte at the end", 932, "\x93\xFA\x96", std::nullopt},
      {"only a lead byte", 932, "\x96", std::nullopt},
      {"ASCII", 932, "a\\b{", "a\\b{"},
      {"empty", 932, "", ""},
      {"an unknown code page", 12345, "a", std::nullopt},
  };
  for (const CodePageRow& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(platform::utf8FromCodePage(row.bytes, row.codePage), row.expected);
  }
}

}  // namespace
