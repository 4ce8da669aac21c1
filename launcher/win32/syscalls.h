// The system-call module's bound functions: kernel32 for processes, paths, files, time and
// error texts, Ws2_32 for the socket start-up. Tests put fakes into these slots.
#pragma once

#include "platform/binding.h"
#include "platform/win32/win32.h"

// clang-format off
#define LAUNCHER_WS2_32_FUNCTIONS(X) X(WSAStartup)
// Optional: stays null when the system has no such export.
#define LAUNCHER_WS2_32_OPTIONAL_FUNCTIONS(X) X(inet_ntop)
#define LAUNCHER_KERNEL32_FUNCTIONS(X) \
  X(FormatMessageW) X(LocalFree) X(GetLastError) X(GetModuleFileNameW) X(GetFileAttributesW) \
  X(GetSystemTimeAsFileTime) X(GetStdHandle) X(CreateProcessW) X(CloseHandle) \
  X(WaitForSingleObject) X(GetExitCodeProcess)
// clang-format on

namespace launcher {
inline constexpr std::string_view kSocketLibrary = "Ws2_32.dll";
}  // namespace launcher

// "Ws2_32.dll", bound before the kernel32 group; then "kernel32", in binding order.
PLATFORM_BINDING_GROUP(launcher::ws2_32, kSocketLibrary, LAUNCHER_WS2_32_FUNCTIONS)
PLATFORM_BINDING_GROUP(launcher::kernel32, "kernel32", LAUNCHER_KERNEL32_FUNCTIONS)

namespace launcher::ws2_32 {
LAUNCHER_WS2_32_OPTIONAL_FUNCTIONS(PLATFORM_BINDING_SLOT)
}  // namespace launcher::ws2_32

namespace launcher {

// Start-up code of the system-call module: opens "Ws2_32.dll" a second time and looks up
// `inet_ntop`. A missing library or function leaves the slot empty and reports nothing.
void bindInetNtop();

}  // namespace launcher
