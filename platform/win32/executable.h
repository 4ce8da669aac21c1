// The running program's own executable, asked through the caller's bound GetModuleFileNameW.
#pragma once

#include "platform/win32/win32.h"

namespace platform {

// The full path, however long; empty when the system cannot give it.
[[nodiscard]] WString executablePath(decltype(&::GetModuleFileNameW) getModuleFileName);

// The folder that holds it, with its closing separator; empty when the system cannot give it.
[[nodiscard]] WString executableFolder(decltype(&::GetModuleFileNameW) getModuleFileName);

}  // namespace platform
