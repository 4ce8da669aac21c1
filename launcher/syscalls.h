// The system-call module's bound functions: kernel32 for processes, paths, files, time and
// error texts, Ws2_32 for the socket start-up. Tests put fakes into these slots.
#pragma once

#include "platform/binding.h"
#include "platform/win32.h"

namespace launcher::ws2_32 {
inline decltype(&::WSAStartup) WSAStartup = nullptr;
// Optional: stays null when the system has no such export.
inline decltype(&::inet_ntop) inet_ntop = nullptr;
}  // namespace launcher::ws2_32

namespace launcher::kernel32 {
inline decltype(&::FormatMessageW) FormatMessageW = nullptr;
inline decltype(&::LocalFree) LocalFree = nullptr;
inline decltype(&::GetLastError) GetLastError = nullptr;
inline decltype(&::GetModuleFileNameW) GetModuleFileNameW = nullptr;
inline decltype(&::GetFileAttributesW) GetFileAttributesW = nullptr;
inline decltype(&::GetSystemTimeAsFileTime) GetSystemTimeAsFileTime = nullptr;
inline decltype(&::GetStdHandle) GetStdHandle = nullptr;
inline decltype(&::CreateProcessW) CreateProcessW = nullptr;
inline decltype(&::CloseHandle) CloseHandle = nullptr;
inline decltype(&::WaitForSingleObject) WaitForSingleObject = nullptr;
inline decltype(&::GetExitCodeProcess) GetExitCodeProcess = nullptr;
}  // namespace launcher::kernel32

namespace launcher {

// "Ws2_32.dll": bound before the kernel32 group.
[[nodiscard]] const platform::BindingGroup& ws2_32Bindings();

// "kernel32", in binding order.
[[nodiscard]] const platform::BindingGroup& kernel32Bindings();

// Start-up code of the system-call module: opens "Ws2_32.dll" a second time and looks up
// `inet_ntop`. A missing library or function leaves the slot empty and reports nothing.
void bindInetNtop() noexcept;

}  // namespace launcher
