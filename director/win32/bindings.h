// The director client's "user32" functions: slots typed from the system's declarations, bound
// by name at start-up and replaced by fakes in tests.
#pragma once

#include "platform/binding.h"
#include "platform/win32/win32.h"

// In binding order.
// clang-format off
#define DIRECTOR_USER32_FUNCTIONS(X) \
  X(GetForegroundWindow) X(FindWindowW) X(GetWindowThreadProcessId) X(EnumWindows) X(GetParent) \
  X(GetWindowTextLengthW) X(GetWindowTextW) X(GetClassNameW) X(SendMessageW)
// clang-format on

// The nine functions in the order the client binds them: director::user32::bindings().
PLATFORM_BINDING_GROUP(director::user32, "user32", DIRECTOR_USER32_FUNCTIONS)
