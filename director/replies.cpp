// The reply state every transport fills, and the reading of a reply's value.
#include "director/replies.h"

#include "director/escapes.h"
#include "platform/ascii.h"

namespace director {

std::string received;
std::optional<platform::Regex> pattern;
std::string interfaceVersion;

void installReplyPattern() {
  pattern = platform::re(kReplyPrefixPattern);
}

void storeReply(const std::string& text) {
  received = pattern ? platform::replace(text, *pattern) : text;
}

namespace {

// The length of the prefix kReplyPrefixPattern matches at the start of `reply`, ":<digits>:" and
// two fields each ended by ':', read by hand; 0 without one. Every answer the companion reads
// goes through here, and the pattern's first compilation alone took 0.4 ms of a key press.
[[nodiscard]] std::size_t replyPrefixLength(std::string_view reply) {
  std::size_t at = 1;
  while (at < reply.size() && platform::isAsciiDigit(reply[at])) {
    ++at;
  }
  if (!reply.starts_with(':') || at == 1 || at == reply.size() || reply[at] != ':') {
    return 0;
  }
  ++at;
  for (int field = 0; field < 2; ++field) {
    const std::size_t end = reply.find(':', at);
    if (end == std::string_view::npos || end == at) {
      return 0;
    }
    at = end + 1;
  }
  return at;
}

}  // namespace

std::string withoutReplyPrefix(std::string_view reply) {
  return std::string(reply.substr(replyPrefixLength(reply)));
}

std::string replyValue(std::string_view reply) {
  return unescapeReply(withoutReplyPrefix(reply));
}

}  // namespace director
