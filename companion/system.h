// The companion's bound system functions and its run: command line, SciTE's director interface,
// settings file and browser.
#pragma once

#include <string>

#include "companion/settings.h"
#include "companion/websearch.h"
#include "platform/binding.h"
#include "platform/win32.h"

// clang-format off
#define COMPANION_KERNEL32_FUNCTIONS(X) \
  X(GetCommandLineW) X(GetModuleFileNameW) X(GetLastError) X(FormatMessageW) X(LocalFree) \
  X(GetCurrentProcessId) X(Sleep)
#define COMPANION_OLE32_FUNCTIONS(X) X(CoInitializeEx) X(CoUninitialize)
#define COMPANION_SHELL32_FUNCTIONS(X) X(ShellExecuteExW)
// Commands to SciTE with a time limit; the director client's own sends wait as long as SciTE does.
#define COMPANION_USER32_FUNCTIONS(X) X(SendMessageTimeoutW)
// Optional: only Wine has it, and it tells which limits Wine's shell has.
#define COMPANION_NTDLL_OPTIONAL_FUNCTIONS(X) X(wine_get_version)
// clang-format on

namespace companion::kernel32 {
COMPANION_KERNEL32_FUNCTIONS(PLATFORM_BINDING_SLOT)
}  // namespace companion::kernel32

namespace companion::ole32 {
COMPANION_OLE32_FUNCTIONS(PLATFORM_BINDING_SLOT)
}  // namespace companion::ole32

namespace companion::shell32 {
COMPANION_SHELL32_FUNCTIONS(PLATFORM_BINDING_SLOT)
}  // namespace companion::shell32

namespace companion::user32 {
COMPANION_USER32_FUNCTIONS(PLATFORM_BINDING_SLOT)
}  // namespace companion::user32

namespace companion::ntdll {
COMPANION_NTDLL_OPTIONAL_FUNCTIONS(PLATFORM_BINDING_SLOT)
}  // namespace companion::ntdll

namespace companion {

inline constexpr std::string_view kIniFileName = "websearch.ini";

[[nodiscard]] const platform::BindingGroup& kernel32Bindings();
[[nodiscard]] const platform::BindingGroup& ole32Bindings();
[[nodiscard]] const platform::BindingGroup& shell32Bindings();
[[nodiscard]] const platform::BindingGroup& user32Bindings();

// Fills every slot, in the order kernel32, ole32, shell32, user32, then the optional ntdll one.
// Unlike the launcher it reports nothing: false when a library or required function is missing.
[[nodiscard]] bool bindSystemFunctions() noexcept;

// The longest address this system's shell is handed: shorter under an old Wine.
[[nodiscard]] std::size_t shellUrlLimit();

// Binds the director client's groups and creates its receiver window. False, quietly, when any
// of it fails: SciTE then counts as out of reach and messages go to standard error.
[[nodiscard]] bool startDirectorClient() noexcept;

// The folder of the running executable with its trailing separator; empty when the system does
// not say.
[[nodiscard]] WString ownFolder();

// websearch.ini beside the executable: its full path and up to kMaxIniBytes of its text (empty
// when there is no such file).
[[nodiscard]] IniFile readIniFile();

// SciTE's director window, or null when the client is not running or SciTE is out of reach.
[[nodiscard]] HWND findScite();

// One run over the bound slots: read the selection (or the word at the caret), choose the URL,
// offer SciTE's list of engines when the settings name several, say what happens, hand it to
// the browser. It talks to `window`, SciTE's director window as found at the start; when that
// is null what it says goes to standard error.
[[nodiscard]] ExitCode searchSelection(HWND window);

// searchSelection with the window findScite gives; anything it throws is said where its lines
// go and ends the run with ExitCode::Unexpected.
[[nodiscard]] int runBound() noexcept;

// The whole program: bind, start the director client, then run.
[[nodiscard]] int runCompanion() noexcept;

}  // namespace companion
