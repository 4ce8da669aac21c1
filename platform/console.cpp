// Console set-up: binary standard streams and UTF-8 code pages.
#include "platform/console.h"

#include "platform/win32.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

namespace platform {

namespace kernel32 {
inline decltype(&::SetConsoleOutputCP) SetConsoleOutputCP = nullptr;
inline decltype(&::SetConsoleCP) SetConsoleCP = nullptr;
}  // namespace kernel32

const BindingGroup& consoleBindings() {
  static const BindingGroup group{"kernel32",
                                  {
                                      Bind("SetConsoleOutputCP", kernel32::SetConsoleOutputCP),
                                      Bind("SetConsoleCP", kernel32::SetConsoleCP),
                                  }};
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
