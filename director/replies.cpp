// The reply state every transport fills.
#include "director/replies.h"

namespace director {

std::string received;
std::optional<platform::Regex> pattern;
std::string interfaceVersion;

void StoreReply(const std::string& text) {
  received = pattern ? platform::replace(text, *pattern) : text;
}

}  // namespace director
