// The console module: its binding group and the set-up of the standard streams.
#pragma once

#include "platform/binding.h"

namespace platform {

// "kernel32": SetConsoleOutputCP, SetConsoleCP.
[[nodiscard]] const BindingGroup& consoleBindings();

// Binary mode on the three standard streams (a line feed is one byte), UTF-8 code pages.
void setUpConsole();

}  // namespace platform
