// The companion's binding groups and the order they are bound in.
#include "companion/win32/bindings.h"

#include <string>

#include "platform/win32/codepage.h"

namespace companion {

bool bindSystemFunctions(const TraceStep& trace) noexcept {
  try {
    // Quietly, unlike the launcher: without these SciTE's pane is out of reach, and this
    // program's own streams do not reliably reach it; the exit code tells a caller why.
    for (const platform::BindingGroup* group :
         {&kernel32::bindings(), &ole32::bindings(), &shell32::bindings(), &user32::bindings(),
          &platform::codepage::bindings()}) {
      if (platform::tryBindGroup(*group)) {
        return false;
      }
      trace(std::string(group->library) + " bound");
    }
    (void)platform::tryBindGroup(ntdll::bindings());  // absent on Windows: the slot stays null
    return true;
  } catch (...) {  // building the groups allocates
    return false;
  }
}

}  // namespace companion
