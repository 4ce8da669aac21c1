// The binding list of the director client's "user32" group.
#include "director/win32/bindings.h"

namespace director {

const platform::BindingGroup& user32Bindings() {
  using namespace user32;
  static const platform::BindingGroup group{"user32",
                                            {DIRECTOR_USER32_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
  return group;
}

}  // namespace director
