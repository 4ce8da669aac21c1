// A reply read from the GTK SciTE's FIFO, for each kind of caller: made into the reply SciTE for
// Windows sends, for the launcher's reply state, or read for its value. Pure, so that it is tested
// and fuzzed without a pipe.
#pragma once

#include <string>
#include <string_view>

#include "director/escapes.h"
#include "director/replies.h"

namespace director::gtk {

// The GTK SciTE writes a reply's fields as SciTE for Windows does, without the address before
// them: this one stands in for it.
inline constexpr std::string_view kReplyAddress = ":0:";

// The bytes SciTE wrote less the line break that ends them.
[[nodiscard]] inline std::string_view replyLine(std::string_view raw) {
  if (raw.ends_with('\n')) {
    raw.remove_suffix(1);
  }
  return raw;
}

// The address and the reply as SciTE for Windows would send it, from the raw bytes the GTK
// SciTE wrote; empty when it wrote nothing. The whole text is escaped: escaping leaves the ':'s
// that end the verb's fields alone, so the fields stay as they are, and no raw line break or NUL
// can reach a reader that takes one for the end of the reply.
[[nodiscard]] inline std::string addressedReply(std::string_view raw) {
  if (raw.empty()) {
    return {};
  }
  return std::string(kReplyAddress) + replyEscaped(replyLine(raw));
}

// The value the raw bytes hold, as they are: the verb's fields before it removed by the same
// pattern as a Windows reply's prefix, with no escaping on the way.
[[nodiscard]] inline std::string replyValue(std::string_view raw) {
  if (raw.empty()) {
    return {};
  }
  return withoutReplyPrefix(std::string(kReplyAddress).append(replyLine(raw)));
}

}  // namespace director::gtk
