// OSError construction from a system error code.
#include "launcher/oserror.h"

#include "launcher/syscalls.h"
#include "platform/ascii.h"
#include "platform/owner.h"
#include "platform/text.h"

namespace launcher {

namespace {

constexpr DWORD kMessageFlags =
    FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;

// The system's text for a code, exactly as it words it; empty when it has none.
std::string systemMessage(std::int32_t errorCode) {
  WCHAR* allocated = nullptr;
  // With the allocate flag the buffer argument receives the address of the system's buffer.
  const DWORD length =
      kernel32::FormatMessageW(kMessageFlags, nullptr, static_cast<DWORD>(errorCode), 0,
                               reinterpret_cast<LPWSTR>(&allocated), 0, nullptr);
  const platform::Unique<WCHAR*, kernel32::LocalFree> owner(allocated);
  if (length == 0 || allocated == nullptr) {
    return {};
  }
  return platform::toUtf8(WStringView(allocated, length));
}

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
  std::string message = errorCode != 0 ? systemMessage(errorCode) : std::string();
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
