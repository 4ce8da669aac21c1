// The pattern engine linked into the program, for a build that binds nothing by name.
#pragma once

namespace platform {

// Fills the engine's slots with the functions linked in.
void useLinkedPcre() noexcept;

}  // namespace platform
