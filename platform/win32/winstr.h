// UTF-8 to UTF-16 through the system's own converter, bound at start-up: the window host hands
// class names, titles and message-box texts to Windows this way.
#pragma once

#include <string_view>

#include "platform/binding.h"
#include "platform/win32/win32.h"

namespace platform {

// clang-format off
#define PLATFORM_TEXT_FUNCTIONS(X) \
  X(lstrlenA) X(WideCharToMultiByte) X(lstrlenW) X(MultiByteToWideChar)
// clang-format on

namespace textkernel32 {
PLATFORM_TEXT_FUNCTIONS(PLATFORM_BINDING_SLOT)
}  // namespace textkernel32

// The text-conversion module's "kernel32" group.
[[nodiscard]] const BindingGroup& textConversionBindings();

// Converts with MultiByteToWideChar (code page 65001, flags 0) into a new buffer; c_str() of the
// result is the NUL-terminated text. An empty text gives an empty wide text.
[[nodiscard]] WString wideFromUtf8(std::string_view utf8);

}  // namespace platform
