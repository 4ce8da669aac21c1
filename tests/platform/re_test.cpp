// Pattern matching: the reply-prefix removal, the anchored name look-ups, and bad patterns.
#include "platform/re.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <limits>
#include <string>
#include <tuple>

#include "platform/errors.h"
#include "platform/pcre_engine.h"
#include "tests/support/slot_swap.h"

namespace {

using platform::findBounds;
using platform::matchOrFind;
using platform::re;
using platform::replace;

constexpr const char* kReplyPrefix = R"(^:\d+:([^:]+:){2})";
constexpr const char* kFunctionName = R"(^(?:local )?function ([^\(]+)\(([^\)]+)?)";

class Regex : public ::testing::Test {
protected:
  static void SetUpTestSuite() { platform::bindGroup(platform::pcreBindings()); }
};

// A program that bound no engine at its start (the companion) has it bound by its first pattern;
// the slots are put back after, as the suite bound them.
TEST_F(Regex, TheFirstPatternBindsAnEngineLeftUnbound) {
  const test_support::SlotSwap<platform::pcre64::pcre_study> study(nullptr);
  const test_support::SlotSwap<platform::pcre64::pcre_compile> compile(nullptr);
  EXPECT_EQ(replace("a:b", re(":")), "ab");
  EXPECT_NE(platform::pcre64::pcre_study, nullptr);
  EXPECT_NE(platform::pcre64::pcre_compile, nullptr);
  // An engine that cannot be bound is the pattern's error, named as the binding names it.
  platform::RawProc config = nullptr;
  const platform::BindingGroup absent{"no-such-engine", {platform::Bind("pcre_config", config)}};
  const test_support::SlotSwap<platform::pcre64::pcre_study> unbound(nullptr);
  try {
    platform::bindEngineOnFirstUse(absent);
    ADD_FAILURE() << "no RegexError";
  } catch (const platform::RegexError& error) {
    EXPECT_EQ(error.message(), "could not load: no-such-engine");
  }
}

TEST_F(Regex, ReplyPrefixIsRemovedOnlyOnceAndOnlyAtTheStart) {
  const auto prefix = re(kReplyPrefix);
  const std::pair<std::string, std::string> cases[] = {
      {":1234:ab:cd:value", "value"},
      {":1234:a:b:x:y", "x:y"},
      {":612:a:b:x:y:", "x:y:"},
      {":1:a:b:", ""},
      {"value", "value"},
      {":1234:a:", ":1234:a:"},
      {"x:1:a:b:v", "x:1:a:b:v"},
      {"::a:b:c", "::a:b:c"},
      {"", ""},
      {":7:line\r\nbreak:b:v", "v"},  // [^:] takes line breaks too
      {std::string(":7:a:b:x\0y", 10), std::string("x\0y", 3)},
  };
  for (const auto& [input, expected] : cases) {
    EXPECT_EQ(replace(input, prefix), expected) << input;
  }
}

TEST_F(Regex, ReplaceInsertsTheReplacementLiterallyForEveryMatch) {
  EXPECT_EQ(replace("a1b22c", re(R"(\d+)"), "$1"), "a$1b$1c");
  EXPECT_EQ(replace("aaa", re("a"), "bb"), "bbbbbb");
}

TEST_F(Regex, AnchoredMatchWritesOnlyTheGroupsThatTookPart) {
  const auto function = re(kFunctionName);
  std::array<std::string, 2> slots{"untouched", "untouched"};
  EXPECT_GE(matchOrFind("function getSel() local s", function, slots, 0, platform::kPcreAnchored),
            0);
  EXPECT_EQ(slots[0], "getSel");
  EXPECT_EQ(slots[1], "untouched");

  EXPECT_GE(
      matchOrFind("function currPos(_pos) local sep", function, slots, 0, platform::kPcreAnchored),
      0);
  EXPECT_EQ(slots[0], "currPos");
  EXPECT_EQ(slots[1], "_pos");

  std::array<std::string, 2> fresh{"a", "b"};
  EXPECT_EQ(matchOrFind(" function f()", function, fresh, 0, platform::kPcreAnchored), -1);
  EXPECT_EQ(fresh[0], "a");
  EXPECT_EQ(fresh[1], "b");
}

TEST_F(Regex, MatchLengthAndBounds) {
  const auto digits = re(R"(\d+)");
  std::array<std::string, 0> none{};
  EXPECT_EQ(matchOrFind("ab123c", digits, none, 0, 0), 3);
  EXPECT_EQ(findBounds("ab123c", digits, 0), std::make_pair(2, 4));
  EXPECT_EQ(findBounds("ab123c", digits, 5).first, -1);
  EXPECT_EQ(findBounds("", digits, 0).first, -1);
}

TEST_F(Regex, MatchingIsCaseSensitiveWithoutFlagsAndFlagsReachTheEngine) {
  std::array<std::string, 0> none{};
  EXPECT_EQ(matchOrFind("ABC", re("abc"), none, 0, 0), -1);
  EXPECT_EQ(matchOrFind("ABC", re("abc", platform::RegexFlags::ignoreCase), none, 0, 0), 3);
  EXPECT_EQ(matchOrFind("ABC", re("abc", platform::RegexFlags::none), none, 0, 0), -1);
}

TEST_F(Regex, InvalidPatternRaisesTheCaretMessage) {
  const std::pair<std::string, std::string> cases[] = {
      {"(", "missing )\n(\n ^\n"},
      {"a)b", "unmatched parentheses\na)b\n ^\n"},
      {"[z-a]", "range out of order in character class\n[z-a]\n   ^\n"},
  };
  for (const auto& [pattern, message] : cases) {
    try {
      (void)re(pattern);
      ADD_FAILURE() << "no error for " << pattern;
    } catch (const platform::RegexError& error) {
      EXPECT_EQ(error.message(), message);
      EXPECT_EQ(error.kind(), "RegexError");
    }
  }
}

TEST_F(Regex, OffsetsBeyondThe32BitRangeStopBeforeTheEngine) {
  const auto digits = re(R"(\d)");
  std::array<std::string, 0> none{};
  const std::int64_t tooFar = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  EXPECT_THROW((void)matchOrFind("1", digits, none, tooFar, 0), platform::RangeError);
  EXPECT_THROW((void)findBounds("1", digits, tooFar), platform::RangeError);
  EXPECT_THROW((void)platform::checkedInt32(tooFar, "text length"), platform::RangeError);
  EXPECT_EQ(platform::checkedInt32(tooFar - 1, "text length"), tooFar - 1);
}

struct FindCase {
  const char* name;
  const char* pattern;
  platform::RegexFlags flags;
  std::string text;
  std::int64_t start;
  std::size_t groups;
  platform::RegexMatch match;
};

// A match's place and groups; UTF-8 mode counts characters; a limited pattern that backtracks
// without end gives up, and soon.
TEST_F(Regex, FindMatchGivesThePlaceAndTheGroups) {
  using platform::RegexFlags;
  const auto limited = RegexFlags::utf8 | RegexFlags::limited;
  const std::string runaway = std::string(4095, 'a') + "b";
  const FindCase cases[] = {
      {"the groups, one that took no part empty",
       R"(([A-Z]+)-(\d+)(x)?)",
       RegexFlags::none,
       "see AB-12.",
       0,
       3,
       {.status = 3, .start = 4, .end = 9, .groups = {"AB-12", "AB", "12", ""}}},
      {"fewer kept than the pattern has",
       R"((\w)(\w))",
       RegexFlags::none,
       "ab",
       0,
       1,
       {.status = 0, .start = 0, .end = 2, .groups = {"ab", "a"}}},
      {"from the start given",
       R"(\d)",
       RegexFlags::none,
       "1 2",
       1,
       0,
       {.status = 1, .start = 2, .end = 3, .groups = {"2"}}},
      {"none", R"(\d)", RegexFlags::none, "x", 0, 0, {}},
      {"UTF-8: one character of two bytes",
       "^.$",
       RegexFlags::utf8,
       "\xC3\xA9",
       0,
       0,
       {.status = 1, .start = 0, .end = 2, .groups = {"\xC3\xA9"}}},
      {"bytes without it", "^.$", RegexFlags::none, "\xC3\xA9", 0, 0, {}},
      {"a limited runaway gives up",
       "(a+)+$",
       limited,
       runaway,
       0,
       0,
       {.status = platform::kPcreMatchLimit}},
  };
  for (const auto& c : cases) {
    const auto started = std::chrono::steady_clock::now();
    const auto got = platform::findMatch(c.text, re(c.pattern, c.flags), c.start, c.groups);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(std::tuple(got.status, got.start, got.end, got.groups),
              std::tuple(c.match.status, c.match.start, c.match.end, c.match.groups))
        << c.name;
    EXPECT_EQ(got.gaveUp(), c.match.status == platform::kPcreMatchLimit) << c.name;
    EXPECT_LT(took, std::chrono::milliseconds(200)) << c.name;
  }
}

TEST_F(Regex, CopiesShareOneCompiledPattern) {
  auto original = re("x");
  const auto copy = original;
  original = re("y");
  std::array<std::string, 0> none{};
  EXPECT_EQ(matchOrFind("x", copy, none, 0, 0), 1);
  EXPECT_EQ(copy.h() == original.h(), false);
}

}  // namespace
