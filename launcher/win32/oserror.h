// Reporting a failed system call as OSError, with the system's own text for its code.
#pragma once

#include <cstdint>
#include <source_location>
#include <string>
#include <string_view>

#include "platform/errors.h"

namespace launcher {

// The calling thread's last system error code.
[[nodiscard]] std::int32_t osLastError();

// An OSError for `errorCode`: the system's message for it (as the system words it, line end
// included), then "Additional info: " and the info in quoted form when there is any;
// "unknown OS error" when that leaves nothing. The raise site is recorded as `where`.
[[nodiscard]] platform::OSError newOSError(
    std::int32_t errorCode, std::string_view additionalInfo,
    const std::source_location& where = std::source_location::current());

// Raises the error newOSError makes; the trace names this function as the raise site.
[[noreturn]] void raiseOSError(std::int32_t errorCode, std::string_view additionalInfo = {});

// The quoted form: double quotes around the text, backslash escapes for quotes, backslashes and
// control characters, "\xHH" for every other byte outside printable ASCII.
[[nodiscard]] std::string quoted(std::string_view text);

}  // namespace launcher
