// Start-up of the system's socket library.
#pragma once

#include "platform/win32/win32.h"

namespace launcher {

// The value that marks a socket as not open: all bits set.
inline SOCKET invalidSocket = 0;

// Start-up code of the socket module: sets invalidSocket and starts the socket library
// (version 1.1). Raises OSError when the library refuses to start.
void startSockets();

}  // namespace launcher
