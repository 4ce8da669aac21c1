// Helper for the deep-directory test: checks that getAppFilename and CurrentDir give the path it
// was started from, which the caller passes as the one argument (UTF-8 is not needed: the test
// keeps to ASCII). Exit code 0 when both agree, 1 with both texts on standard error when not.
#include <cstdio>
#include <string>

#include "launcher/functions.h"
#include "launcher/paths.h"
#include "launcher/win32/syscalls.h"
#include "platform/binding.h"
#include "platform/text.h"
#include "platform/win32/win32.h"

int main() {
  platform::bindGroup(launcher::kernel32::bindings());
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count != 2) {
    std::fputs("usage: probe <expected full path of this program>\n", stderr);
    return 2;
  }
  const std::string expected = platform::toUtf8(arguments[1]);
  LocalFree(arguments);

  const std::string path = launcher::getAppFilename();
  const std::string directory = launcher::CurrentDir();
  const std::string expectedDirectory = launcher::splitPath(expected).head;
  if (path == expected && directory == expectedDirectory) {
    return 0;
  }
  std::fprintf(stderr,
               "getAppFilename: %s\nexpected:       %s\nCurrentDir:     %s\nexpected:       %s\n",
               path.c_str(), expected.c_str(), directory.c_str(), expectedDirectory.c_str());
  return 1;
}
