// The companion's bound system functions and its run: command line, settings file and browser.
#pragma once

#include <filesystem>

#include "companion/websearch.h"
#include "platform/binding.h"
#include "platform/win32.h"

// clang-format off
#define COMPANION_KERNEL32_FUNCTIONS(X) X(GetCommandLineW) X(GetModuleFileNameW)
#define COMPANION_OLE32_FUNCTIONS(X) X(CoInitializeEx) X(CoUninitialize)
#define COMPANION_SHELL32_FUNCTIONS(X) X(ShellExecuteW)
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

namespace companion {

inline constexpr std::string_view kIniFileName = "websearch.ini";

[[nodiscard]] const platform::BindingGroup& kernel32Bindings();
[[nodiscard]] const platform::BindingGroup& ole32Bindings();
[[nodiscard]] const platform::BindingGroup& shell32Bindings();

// Fills every slot, in the order kernel32, ole32, shell32. Unlike the launcher it reports
// nothing: false when a library or function is missing.
[[nodiscard]] bool bindSystemFunctions() noexcept;

// The directory of the running executable; empty when the system does not say.
[[nodiscard]] std::filesystem::path ownDirectory();

// The template to fill: websearch.ini's url= beside the executable, else the default one.
[[nodiscard]] std::string configuredTemplate();

// One run over the bound slots: read the selection, choose the URL, hand it to the browser.
[[nodiscard]] ExitCode searchSelection();

// searchSelection, with anything it throws turned into ExitCode::Unexpected.
[[nodiscard]] int runBound() noexcept;

// The whole program: bind, then run.
[[nodiscard]] int runCompanion() noexcept;

}  // namespace companion
