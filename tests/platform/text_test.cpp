// The UTF-8/UTF-16 converter: what it decodes, and what becomes U+FFFD.
#include "platform/text.h"

#include <gtest/gtest.h>

namespace {

using platform::toUtf16;
using platform::toUtf8;

WString units(std::initializer_list<unsigned> values) {
  WString out;
  for (unsigned v : values) {
    out.push_back(static_cast<WCHAR>(v));
  }
  return out;
}

struct DecodeCase {
  const char* name;
  std::string utf8;
  WString expected;
};

TEST(TextConverter, DecodesByLeadByteAndReplacesWhatItCannot) {
  const DecodeCase cases[] = {
      {"ascii", "abc", units({'a', 'b', 'c'})},
      {"empty", "", units({})},
      {"two bytes", "\xC3\xA9", units({0xE9})},
      {"three bytes", "\xE2\x82\xAC", units({0x20AC})},
      {"first three-byte character", "\xE0\xA0\x80", units({0x0800})},
      {"four bytes become a pair", "\xF0\x9F\x98\x80", units({0xD83D, 0xDE00})},
      {"continuation byte as lead", "\x80x", units({0xFFFD, 'x'})},
      {"five-byte lead", "\xF8\x88\x80\x80\x80", units({0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD})},
      {"cut off two-byte", "a\xC3", units({'a', 0xFFFD})},
      {"cut off four-byte", "a\xF0\x9F\x98", units({'a', 0xFFFD})},
      {"encoded surrogate", "\xED\xA0\x80z", units({0xFFFD, 'z'})},
      {"above U+10FFFF", "\xF4\x90\x80\x80", units({0xFFFD})},
      {"largest code point", "\xF4\x8F\xBF\xBF", units({0xDBFF, 0xDFFF})},
      {"following bytes unchecked", "\xC3\x41", units({0xC1})},
      {"embedded NUL kept", std::string("a\0b", 3), units({'a', 0, 'b'})},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(toUtf16(c.utf8), c.expected) << c.name;
  }
}

TEST(TextConverter, EncodesPairsAndReplacesLoneSurrogates) {
  EXPECT_EQ(toUtf8(units({'a', 0xE9, 0x20AC})), "a\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(toUtf8(units({0xD83D, 0xDE00})), "\xF0\x9F\x98\x80");
  EXPECT_EQ(toUtf8(units({0xD83D, 'x'})), "\xEF\xBF\xBDx");
  EXPECT_EQ(toUtf8(units({0xDE00, 0xD83D})), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(toUtf8(units({'x', 0xD800})), "x\xEF\xBF\xBD");
}

TEST(TextConverter, ReverseStopsAtFirstNul) {
  EXPECT_EQ(toUtf8(units({'a', 0, 'b'})), "a");
  const WString zeroTerminated = units({'h', 'i', 0});
  EXPECT_EQ(toUtf8(zeroTerminated.c_str()), "hi");
  EXPECT_EQ(toUtf8(static_cast<const WCHAR*>(nullptr)), "");
}

TEST(TextConverter, ValidTextSurvivesTheRoundTrip) {
  const std::string samples[] = {"plain", "caf\xC3\xA9", "\xE4\xB8\xAD\xE6\x96\x87",
                                 "\xF0\x9F\x98\x80 end", "\x7F\xC2\x80\xEF\xBF\xBF"};
  for (const auto& s : samples) {
    EXPECT_EQ(toUtf8(toUtf16(s)), s);
  }
}

}  // namespace
