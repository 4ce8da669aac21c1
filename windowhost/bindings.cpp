// The window host's binding groups as data, in the order the start-up binds them.
#include "windowhost/bindings.h"

#include <array>

namespace windowhost {

std::span<const platform::BindingGroup> bindingGroups() {
  static const std::array<platform::BindingGroup, 7> groups{
      gdi32::bindings(),    user32::bindings(),  shell32::bindings(), kernel32::bindings(),
      comctl32::bindings(), uxtheme::bindings(), ole32::bindings()};
  return groups;
}

std::span<const platform::BindingGroup> hiddenWindowBindingGroups() {
  static const std::array<platform::BindingGroup, 3> groups{gdi32::bindings(), user32::bindings(),
                                                            kernel32::bindings()};
  return groups;
}

}  // namespace windowhost
