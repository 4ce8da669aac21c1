// Why the browser could not be handed an address: the same on every platform.
#pragma once

#include <cstdint>
#include <string>

namespace companion {

struct BrowserFailure {
  std::string reason;  // what the user reads: the system's text, or what the opener's end said
  std::int64_t code;   // the system's error code, or the opener's exit code
};

}  // namespace companion
