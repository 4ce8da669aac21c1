// Binds the engine's six functions the way the program's start-up does, but only once.
#include "fuzz/checks/engine.h"

#include "platform/re.h"

namespace fuzz {

void bindEngineOnce() {
  static const bool bound = [] {
    platform::bindGroup(platform::pcreBindings());
    return true;
  }();
  (void)bound;
}

}  // namespace fuzz
