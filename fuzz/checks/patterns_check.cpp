// The three fixed patterns over arbitrary texts: replace, the unanchored search and the anchored
// match with capture slots must agree with a reading of each pattern by hand.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/checks/check.h"
#include "fuzz/checks/engine.h"
#include "fuzz/checks/models.h"
#include "platform/re.h"

namespace fuzz {

namespace {

using Model = std::optional<ModelMatch> (*)(std::string_view);

struct FixedPattern {
  platform::Regex regex;
  Model model;
};

const std::array<FixedPattern, 3>& fixedPatterns() {
  static const std::array<FixedPattern, 3> patterns{{
      {platform::re(R"(^:\d+:([^:]+:){2})"), replyPrefixModel},
      {platform::re(R"(^(?:local )?function ([^\(]+)\(([^\)]+)?)"), functionNameModel},
      {platform::re(R"(^(?:local\s)?(\w+)\s*=\s*function\(([^\)]+)?)"), assignedFunctionModel},
  }};
  return patterns;
}

// Slot contents no match can produce, to see which slots a run wrote.
const std::string kUnwritten0 = "\x01unwritten-0";
const std::string kUnwritten1 = "\x01unwritten-1";

void checkReplace(std::string_view text, const FixedPattern& pattern,
                  const std::optional<ModelMatch>& expected) {
  // "^" holds only at offset 0, so at most the one leading match goes.
  const std::string want(expected ? text.substr(expected->length) : text);
  expect(platform::replace(text, pattern.regex) == want,
         "replace removes exactly the leading match and nothing else");
}

void checkSearch(std::string_view text, const FixedPattern& pattern,
                 const std::optional<ModelMatch>& expected, std::int64_t laterStart) {
  const auto [first, last] = platform::findBounds(text, pattern.regex, 0);
  if (expected) {
    expect(first == 0 && last == static_cast<std::int32_t>(expected->length) - 1,
           "findBounds from 0 gives the first and last index of the leading match");
  } else {
    expect(first == -1 && last == 0, "findBounds without a match gives (-1, 0)");
  }
  if (laterStart != 0) {
    // Before or beyond the text the engine refuses the offset; inside it "^" cannot hold.
    const auto [laterFirst, laterLast] = platform::findBounds(text, pattern.regex, laterStart);
    expect(laterFirst < 0 && laterLast == 0,
           "findBounds from an offset other than 0 finds nothing");
  }
}

void checkAnchoredMatch(std::string_view text, const FixedPattern& pattern,
                        const std::optional<ModelMatch>& expected) {
  std::array<std::string, 2> slots{kUnwritten0, kUnwritten1};
  const std::int32_t length =
      platform::matchOrFind(text, pattern.regex, slots, 0, platform::kPcreAnchored);
  if (!expected) {
    expect(length == -1, "an anchored run without a match gives -1");
    expect(slots[0] == kUnwritten0 && slots[1] == kUnwritten1, "a failed match writes no slot");
    return;
  }
  expect(length == static_cast<std::int32_t>(expected->length),
         "an anchored match gives the length of the whole match");
  expect(slots[0] == expected->group1, "slot 0 holds group 1");
  expect(slots[1] == expected->group2.value_or(kUnwritten1),
         "slot 1 holds group 2, or keeps its content when the group took no part");

  // "^" anchors on its own; fewer slots only lose captures, never the match.
  std::array<std::string, 2> unanchored;
  expect(platform::matchOrFind(text, pattern.regex, unanchored, 0, 0) == length,
         "the unanchored run finds the same match");
  std::array<std::string, 1> oneSlot;
  expect(platform::matchOrFind(text, pattern.regex, oneSlot, 0, platform::kPcreAnchored) == length,
         "one capture slot gives the same length");
  expect(platform::matchOrFind(text, pattern.regex, {}, 0, platform::kPcreAnchored) == length,
         "no capture slot gives the same length");
}

}  // namespace

void checkPatterns(Bytes input) {
  bindEngineOnce();
  // The first byte picks a later search offset: inside, just past, or before the text.
  const std::uint8_t selector = input.empty() ? 0 : input.front();
  const std::string_view text = asText(input.empty() ? input : input.subspan(1));
  auto laterStart = static_cast<std::int64_t>((selector & 0x7F) % (text.size() + 2));
  if ((selector & 0x80) != 0) {
    laterStart = -laterStart;
  }
  for (const FixedPattern& pattern : fixedPatterns()) {
    const auto expected = pattern.model(text);
    checkReplace(text, pattern, expected);
    checkSearch(text, pattern, expected, laterStart);
    checkAnchoredMatch(text, pattern, expected);
  }
}

}  // namespace fuzz
