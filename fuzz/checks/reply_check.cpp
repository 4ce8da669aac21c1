// The reply handler fed whatever another process may send: any bytes, a cbData above, at or
// below the data's length, with and without the prefix pattern.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "director/win32/channel.h"
#include "fuzz/checks/check.h"
#include "fuzz/checks/engine.h"
#include "fuzz/checks/models.h"
#include "platform/errors.h"
#include "platform/re.h"
#include "tests/support/slot_swap.h"

namespace fuzz {

namespace {

using test_support::Scoped;

constexpr std::size_t kHeaderSize = 3;
constexpr std::uint8_t kPatternSet = 1;
constexpr std::uint8_t kNullData = 2;
constexpr std::uint8_t kCountOutOfRange = 4;

const std::string kStale = "\x01stale reply";

struct Reply {
  std::uint8_t flags = 0;
  DWORD count = 0;
  std::vector<std::uint8_t> buffer;  // exactly `count` bytes, as the system delivers them
};

// Header: flags, a signed difference between cbData and the data's length, and the byte that
// fills a buffer longer than the data. The rest is the data.
[[nodiscard]] Reply replyFrom(Bytes input) {
  Reply reply;
  if (input.size() < kHeaderSize) {
    return reply;
  }
  reply.flags = input[0];
  const auto difference = static_cast<std::int8_t>(input[1]);
  const std::uint8_t filler = input[2];
  const Bytes data = input.subspan(kHeaderSize);
  if ((reply.flags & kCountOutOfRange) != 0) {
    // Only the count is hostile here; the handler must refuse it before reading anything.
    reply.count = 0x80000000u | (DWORD{input[1]} << 8) | filler;
    reply.buffer.assign(data.begin(), data.end());
    return reply;
  }
  const auto wanted = static_cast<std::int64_t>(data.size()) + difference;
  reply.count = static_cast<DWORD>(std::max<std::int64_t>(wanted, 0));
  reply.buffer.assign(reply.count, filler);
  std::copy_n(data.begin(), std::min<std::size_t>(data.size(), reply.count), reply.buffer.begin());
  return reply;
}

// What the rules make of the delivered bytes: up to the first NUL, padded with NULs to cbData.
[[nodiscard]] std::string replyText(const std::vector<std::uint8_t>& buffer) {
  const auto nul = std::find(buffer.begin(), buffer.end(), std::uint8_t{0});
  std::string text(buffer.begin(), nul);
  text.resize(buffer.size(), '\0');
  return text;
}

[[nodiscard]] std::string withoutPrefix(const std::string& text) {
  const auto prefix = replyPrefixModel(text);
  return prefix ? text.substr(prefix->length) : text;
}

const platform::Regex& replyPattern() {
  static const platform::Regex compiled = platform::re(R"(^:\d+:([^:]+:){2})");
  return compiled;
}

void deliver(Reply& reply, bool nullData) {
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = reply.count;
  data.lpData = nullData ? nullptr : reply.buffer.data();
  director::replyHandler(reinterpret_cast<LPARAM>(&data));
}

}  // namespace

void checkReply(Bytes input) {
  bindEngineOnce();
  Reply reply = replyFrom(input);
  const bool patternSet = (reply.flags & kPatternSet) != 0;
  const bool nullData = (reply.flags & kNullData) != 0;
  Scoped keepPattern(director::pattern, patternSet ? std::optional(replyPattern()) : std::nullopt);
  Scoped keepReceived(director::received, kStale);

  if ((reply.flags & kCountOutOfRange) != 0) {
    bool refused = false;
    try {
      deliver(reply, nullData);
    } catch (const platform::Error&) {
      refused = true;
    }
    expect(refused, "a cbData of 2^31 or more is refused as an error");
    return;
  }

  deliver(reply, nullData);
  const std::string& got = director::received;
  if (nullData) {
    // No bytes at all: the sender broke its contract; either reading of "nothing" will do.
    expect(got.empty() || got == std::string(reply.count, '\0'),
           "a reply without data is stored as empty");
    return;
  }
  const std::string text = replyText(reply.buffer);
  if (patternSet) {
    expect(got == withoutPrefix(text), "the reply is stored with its one leading prefix removed");
  } else {
    // Before any pattern the rules let the handler store the text unchanged or drop it.
    expect(got == text || got == kStale || got.empty(),
           "without a pattern the reply is stored unchanged or dropped");
  }
}

}  // namespace fuzz
