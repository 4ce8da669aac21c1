// The companion's binding groups and the order they are bound in.
#include "companion/win32/bindings.h"

#include "platform/codepage.h"

namespace companion {

const platform::BindingGroup& kernel32Bindings() {
  using namespace kernel32;
  static const platform::BindingGroup group{"kernel32",
                                            {COMPANION_KERNEL32_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
  return group;
}

const platform::BindingGroup& ole32Bindings() {
  using namespace ole32;
  static const platform::BindingGroup group{"ole32",
                                            {COMPANION_OLE32_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
  return group;
}

const platform::BindingGroup& shell32Bindings() {
  using namespace shell32;
  static const platform::BindingGroup group{"shell32",
                                            {COMPANION_SHELL32_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
  return group;
}

const platform::BindingGroup& user32Bindings() {
  using namespace user32;
  static const platform::BindingGroup group{"user32",
                                            {COMPANION_USER32_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
  return group;
}

bool bindSystemFunctions() noexcept {
  try {
    // Quietly, unlike the launcher: without these SciTE's pane is out of reach, and this
    // program's own streams do not reliably reach it; the exit code tells a caller why.
    if (platform::tryBindGroup(kernel32Bindings()) || platform::tryBindGroup(ole32Bindings()) ||
        platform::tryBindGroup(shell32Bindings()) || platform::tryBindGroup(user32Bindings()) ||
        platform::tryBindGroup(platform::codePageBindings())) {
      return false;
    }
    using namespace ntdll;
    static const platform::BindingGroup optional{
        "ntdll", {COMPANION_NTDLL_OPTIONAL_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
    (void)platform::tryBindGroup(optional);  // absent on Windows: the slot stays null
    return true;
  } catch (...) {  // building the groups allocates
    return false;
  }
}

}  // namespace companion
