// Binding groups of the system-call module and its optional look-up.
#include "launcher/win32/syscalls.h"

namespace launcher {

void bindInetNtop() {
  using namespace ws2_32;
  static const platform::BindingGroup optional{
      kSocketLibrary, {LAUNCHER_WS2_32_OPTIONAL_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
  // Its absence is no error: the slot simply stays null.
  (void)platform::tryBindGroup(optional);
}

}  // namespace launcher
