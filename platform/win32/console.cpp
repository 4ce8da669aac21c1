// Console set-up: binary standard streams and UTF-8 code pages.
#include "platform/win32/console.h"

#include "platform/win32/win32.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

namespace platform {

#define PLATFORM_CONSOLE_FUNCTIONS(X) X(SetConsoleOutputCP) X(SetConsoleCP)

namespace kernel32 {
PLATFORM_CONSOLE_FUNCTIONS(PLATFORM_BINDING_SLOT)
}  // namespace kernel32

const BindingGroup& consoleBindings() {
  using namespace kernel32;
  static const BindingGroup group{"kernel32", {PLATFORM_CONSOLE_FUNCTIONS(PLATFORM_BINDING_ENTRY)}};
  return group;
}

void setUpConsole() {
#ifdef _WIN32
  for (std::FILE* stream : {stdin, stdout, stderr}) {
    (void)_setmode(_fileno(stream), _O_BINARY);
  }
#endif
  (void)kernel32::SetConsoleOutputCP(CP_UTF8);
  (void)kernel32::SetConsoleCP(CP_UTF8);
}

}  // namespace platform
