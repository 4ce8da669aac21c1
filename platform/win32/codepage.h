// A Windows code page's bytes to UTF-8 through the system's own converter, bound at start-up: the
// companion reads a document that is not UTF-8 this way, as SciTE for Windows draws it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/binding.h"
#include "platform/win32/win32.h"

// clang-format off
#define PLATFORM_CODE_PAGE_FUNCTIONS(X) X(MultiByteToWideChar) X(IsDBCSLeadByteEx)
// clang-format on

// The code-page module's "kernel32" group: platform::codepage::bindings().
PLATFORM_BINDING_GROUP(platform::codepage, "kernel32", PLATFORM_CODE_PAGE_FUNCTIONS)

namespace platform {

// `bytes` in `codePage` (0: the system's ANSI code page) as UTF-8, converted without flags, as
// the editor converts them for display: a byte the code page leaves undefined becomes whatever
// Windows makes of it. Nothing when the text ends in a lead byte without its trail byte, which
// has no character at all.
[[nodiscard]] std::optional<std::string> utf8FromCodePage(std::string_view bytes,
                                                          std::uint32_t codePage);

}  // namespace platform
