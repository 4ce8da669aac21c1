// The engine's slots filled from the static library linked in.
#include "platform/posix/linked_pcre.h"

#include "platform/pcre_engine.h"

namespace platform {

void useLinkedPcre() noexcept {
#define PLATFORM_PCRE_LINKED(name) pcre64::name = &::name;
  PLATFORM_PCRE_FUNCTIONS(PLATFORM_PCRE_LINKED)
#undef PLATFORM_PCRE_LINKED
}

}  // namespace platform
