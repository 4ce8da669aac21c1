// Raise-site records and range checks shared by every error kind.
#include "platform/errors.h"

#include <limits>

namespace platform {

namespace {

std::string_view baseName(std::string_view path) noexcept {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The compiler gives the full signature ("void ns::Name(int)"); the trace wants "Name".
std::string_view bareOperationName(std::string_view signature) noexcept {
  const auto paren = signature.find('(');
  if (paren != std::string_view::npos) {
    signature = signature.substr(0, paren);
  }
  const auto cut = signature.find_last_of(": ");
  return cut == std::string_view::npos ? signature : signature.substr(cut + 1);
}

}  // namespace

TraceEntry traceEntryFor(const std::source_location& where) {
  return TraceEntry{std::string(baseName(where.file_name())), where.line(),
                    std::string(bareOperationName(where.function_name()))};
}

std::int32_t checkedInt32(std::int64_t value, std::string_view what,
                          const std::source_location& where) {
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    throw RangeError(std::string(what) + " out of the 32-bit range: " + std::to_string(value),
                     where);
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace platform
