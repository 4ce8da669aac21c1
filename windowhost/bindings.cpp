// The window host's binding groups as data, in the order the start-up binds them.
#include "windowhost/bindings.h"

#include <array>

namespace windowhost {

namespace {

platform::BindingGroup gdi32Group() {
  using namespace gdi32;
  return {"gdi32", {WINDOWHOST_GDI32_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
}

platform::BindingGroup user32Group() {
  using namespace user32;
  return {"user32", {WINDOWHOST_USER32_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
}

platform::BindingGroup shell32Group() {
  using namespace shell32;
  return {"shell32", {WINDOWHOST_SHELL32_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
}

platform::BindingGroup kernel32Group() {
  using namespace kernel32;
  return {"kernel32", {WINDOWHOST_KERNEL32_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
}

platform::BindingGroup comctl32Group() {
  using namespace comctl32;
  return {"comctl32", {WINDOWHOST_COMCTL32_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
}

platform::BindingGroup uxthemeGroup() {
  using namespace uxtheme;
  return {"uxtheme", {WINDOWHOST_UXTHEME_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
}

platform::BindingGroup ole32Group() {
  using namespace ole32;
  return {"ole32", {WINDOWHOST_OLE32_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
}

}  // namespace

std::span<const platform::BindingGroup> bindingGroups() {
  static const std::array<platform::BindingGroup, 7> groups{
      gdi32Group(),    user32Group(),  shell32Group(), kernel32Group(),
      comctl32Group(), uxthemeGroup(), ole32Group()};
  return groups;
}

std::span<const platform::BindingGroup> hiddenWindowBindingGroups() {
  static const std::array<platform::BindingGroup, 3> groups{gdi32Group(), user32Group(),
                                                            kernel32Group()};
  return groups;
}

}  // namespace windowhost
