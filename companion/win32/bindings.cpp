// The companion's binding groups and the order they are bound in.
#include "companion/win32/bindings.h"

#include "platform/win32/codepage.h"

namespace companion {

bool bindSystemFunctions() noexcept {
  try {
    // Quietly, unlike the launcher: without these SciTE's pane is out of reach, and this
    // program's own streams do not reliably reach it; the exit code tells a caller why.
    if (platform::tryBindGroup(kernel32::bindings()) || platform::tryBindGroup(ole32::bindings()) ||
        platform::tryBindGroup(shell32::bindings()) || platform::tryBindGroup(user32::bindings()) ||
        platform::tryBindGroup(platform::codepage::bindings())) {
      return false;
    }
    (void)platform::tryBindGroup(ntdll::bindings());  // absent on Windows: the slot stays null
    return true;
  } catch (...) {  // building the groups allocates
    return false;
  }
}

}  // namespace companion
