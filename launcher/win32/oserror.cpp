// OSError construction from a system error code.
#include "launcher/win32/oserror.h"

#include "launcher/win32/syscalls.h"
#include "platform/ascii.h"
#include "platform/win32/system_message.h"

namespace launcher {

namespace {

void appendHexEscape(std::string& out, unsigned char byte) {
  out += "\\x";
  out += platform::highHexDigit(byte);
  out += platform::lowHexDigit(byte);
}

[[nodiscard]] const char* namedEscape(unsigned char byte) noexcept {
  switch (byte) {
    case '\a':
      return "\\a";
    case '\b':
      return "\\b";
    case '\t':
      return "\\t";
    case '\n':
      return "\\n";
    case '\v':
      return "\\v";
    case '\f':
      return "\\f";
    case '\r':
      return "\\r";
    case 0x1B:
      return "\\e";
    case '\\':
      return "\\\\";
    case '"':
      return "\\\"";
    case '\'':
      return "\\'";
    default:
      return nullptr;
  }
}

}  // namespace

std::int32_t osLastError() {
  return static_cast<std::int32_t>(kernel32::GetLastError());
}

std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (const char* escape = namedEscape(byte)) {
      out += escape;
    } else if (byte >= 0x20 && byte < 0x7F) {
      out += c;
    } else {
      appendHexEscape(out, byte);
    }
  }
  out += '"';
  return out;
}

platform::OSError newOSError(std::int32_t errorCode, std::string_view additionalInfo,
                             const std::source_location& where) {
  std::string message =
      errorCode != 0
          ? platform::systemMessage<kernel32::FormatMessageW, kernel32::LocalFree>(errorCode)
          : std::string();
  if (!additionalInfo.empty()) {
    if (!message.empty() && message.back() != '\n') {
      message += '\n';
    }
    message += "Additional info: ";
    message += quoted(additionalInfo);
  }
  if (message.empty()) {
    message = "unknown OS error";
  }
  return platform::OSError(std::move(message), errorCode, where);
}

void raiseOSError(std::int32_t errorCode, std::string_view additionalInfo) {
  throw newOSError(errorCode, additionalInfo);
}

}  // namespace launcher
