// A reply read from the GTK SciTE's FIFO made into the reply SciTE for Windows sends. Pure, so
// that it is tested and fuzzed without a pipe.
#pragma once

#include <string>
#include <string_view>

#include "director/escapes.h"

namespace director::gtk {

// ":0:" and the reply as SciTE for Windows would send it, from the raw bytes the GTK SciTE wrote
// (its line break at the end dropped); empty when it wrote nothing. The whole text is escaped:
// escaping leaves the ':'s that end the verb's fields alone, so the fields stay as they are,
// and no raw line break or NUL can reach a reader that takes one for the end of the reply.
[[nodiscard]] inline std::string addressedReply(std::string_view raw) {
  if (raw.empty()) {
    return {};
  }
  if (raw.back() == '\n') {
    raw.remove_suffix(1);
  }
  return ":0:" + replyEscaped(raw);
}

}  // namespace director::gtk
