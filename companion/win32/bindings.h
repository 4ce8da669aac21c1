// The companion's Windows system functions, bound by name at start-up, one group a library.
#pragma once

#include "companion/run_system.h"
#include "platform/binding.h"
#include "platform/win32/win32.h"

// clang-format off
#define COMPANION_KERNEL32_FUNCTIONS(X) \
  X(GetCommandLineW) X(GetModuleFileNameW) X(GetLastError) X(FormatMessageW) X(LocalFree) \
  X(GetCurrentProcessId) X(Sleep) X(GetEnvironmentVariableW) X(SearchPathW) X(CreateProcessW) \
  X(CloseHandle) X(MoveFileExW)
#define COMPANION_OLE32_FUNCTIONS(X) X(CoInitializeEx) X(CoUninitialize)
#define COMPANION_SHELL32_FUNCTIONS(X) X(ShellExecuteExW)
// Commands to SciTE with a time limit; the director client's own sends wait as long as SciTE does.
// The others find the strip's fields in SciTE's main window.
#define COMPANION_USER32_FUNCTIONS(X) \
  X(SendMessageTimeoutW) X(GetWindowThreadProcessId) X(FindWindowExW) X(GetDlgItem)
// Optional: only Wine has it, and it tells which limits Wine's shell has.
#define COMPANION_NTDLL_OPTIONAL_FUNCTIONS(X) X(wine_get_version)
// clang-format on

// Bound in this order by bindSystemFunctions; ntdll's is optional.
PLATFORM_BINDING_GROUP(companion::kernel32, "kernel32", COMPANION_KERNEL32_FUNCTIONS)
PLATFORM_BINDING_GROUP(companion::ole32, "ole32", COMPANION_OLE32_FUNCTIONS)
PLATFORM_BINDING_GROUP(companion::shell32, "shell32", COMPANION_SHELL32_FUNCTIONS)
PLATFORM_BINDING_GROUP(companion::user32, "user32", COMPANION_USER32_FUNCTIONS)
PLATFORM_BINDING_GROUP(companion::ntdll, "ntdll", COMPANION_NTDLL_OPTIONAL_FUNCTIONS)

namespace companion {

// Fills every slot, in the order kernel32, ole32, shell32, user32, the code-page converter's
// kernel32 group, then the optional ntdll one, marking each group bound in `trace`.
// Unlike the launcher it reports nothing: false when a library or required function is missing.
[[nodiscard]] bool bindSystemFunctions(const TraceStep& trace = traceNothing) noexcept;

}  // namespace companion
