// The reply state every transport fills, and the reading of a reply's value.
#include "director/replies.h"

#include "director/escapes.h"

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

std::string withoutReplyPrefix(std::string_view reply) {
  static const platform::Regex prefix = platform::re(kReplyPrefixPattern);  // compiled once
  return platform::replace(reply, prefix);
}

std::string replyValue(std::string_view reply) {
  return unescapeReply(withoutReplyPrefix(reply));
}

}  // namespace director
