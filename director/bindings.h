// The director client's "user32" functions: slots typed from the system's declarations, bound
// by name at start-up and replaced by fakes in tests.
#pragma once

#include "platform/binding.h"
#include "platform/win32.h"

namespace director::user32 {
inline decltype(&::GetForegroundWindow) GetForegroundWindow = nullptr;
inline decltype(&::FindWindowW) FindWindowW = nullptr;
inline decltype(&::GetWindowThreadProcessId) GetWindowThreadProcessId = nullptr;
inline decltype(&::EnumWindows) EnumWindows = nullptr;
inline decltype(&::GetParent) GetParent = nullptr;
inline decltype(&::GetWindowTextLengthW) GetWindowTextLengthW = nullptr;
inline decltype(&::GetWindowTextW) GetWindowTextW = nullptr;
inline decltype(&::GetClassNameW) GetClassNameW = nullptr;
inline decltype(&::SendMessageW) SendMessageW = nullptr;
}  // namespace director::user32

namespace director {

// The nine functions in the order the client binds them.
[[nodiscard]] const platform::BindingGroup& user32Bindings();

}  // namespace director
