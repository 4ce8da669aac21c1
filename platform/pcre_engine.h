// The pattern engine's functions, each listed once: the slots the code calls through, filled
// by name at start-up on Windows, or from the engine linked in on Linux.
#pragma once

#include <pcre.h>

#include "platform/binding.h"

// clang-format off
#define PLATFORM_PCRE_FUNCTIONS(X) \
  X(pcre_exec) X(pcre_free_substring) X(pcre_free_study) X(pcre_compile) X(pcre_config) \
  X(pcre_study)
// clang-format on

namespace platform::pcre64 {
PLATFORM_PCRE_FUNCTIONS(PLATFORM_BINDING_SLOT)
}  // namespace platform::pcre64
