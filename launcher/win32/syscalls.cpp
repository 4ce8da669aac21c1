// Binding groups of the system-call module and its optional look-up.
#include "launcher/win32/syscalls.h"

namespace launcher {

namespace {
constexpr std::string_view kSocketLibrary = "Ws2_32.dll";
}  // namespace

const platform::BindingGroup& ws2_32Bindings() {
  using namespace ws2_32;
  static const platform::BindingGroup group{kSocketLibrary,
                                            {LAUNCHER_WS2_32_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
  return group;
}

const platform::BindingGroup& kernel32Bindings() {
  using namespace kernel32;
  static const platform::BindingGroup group{"kernel32",
                                            {LAUNCHER_KERNEL32_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
  return group;
}

void bindInetNtop() {
  using namespace ws2_32;
  static const platform::BindingGroup optional{
      kSocketLibrary, {LAUNCHER_WS2_32_OPTIONAL_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
  // Its absence is no error: the slot simply stays null.
  (void)platform::tryBindGroup(optional);
}

}  // namespace launcher
