// Socket library start-up.
#include "launcher/win32/sockets.h"

#include <cstdint>

#include "launcher/win32/oserror.h"
#include "launcher/win32/syscalls.h"

namespace launcher {

namespace {
constexpr WORD kSocketVersion = 0x0101;
}  // namespace

void startSockets() {
  invalidSocket = ~SOCKET{0};
  WSADATA data{};
  // The start-up call hands its error code back as its result and need not set the thread's
  // last error, so the result is the code to report.
  if (const int result = ws2_32::WSAStartup(kSocketVersion, &data); result != 0) {
    raiseOSError(static_cast<std::int32_t>(result));
  }
}

}  // namespace launcher
