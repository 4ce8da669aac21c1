// The binding list of the director client's "user32" group.
#include "director/bindings.h"

namespace director {

const platform::BindingGroup& user32Bindings() {
  static const platform::BindingGroup group{
      "user32",
      {
          platform::Bind("GetForegroundWindow", user32::GetForegroundWindow),
          platform::Bind("FindWindowW", user32::FindWindowW),
          platform::Bind("GetWindowThreadProcessId", user32::GetWindowThreadProcessId),
          platform::Bind("EnumWindows", user32::EnumWindows),
          platform::Bind("GetParent", user32::GetParent),
          platform::Bind("GetWindowTextLengthW", user32::GetWindowTextLengthW),
          platform::Bind("GetWindowTextW", user32::GetWindowTextW),
          platform::Bind("GetClassNameW", user32::GetClassNameW),
          platform::Bind("SendMessageW", user32::SendMessageW),
      }};
  return group;
}

}  // namespace director
