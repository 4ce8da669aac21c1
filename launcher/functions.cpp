// Finding the program's own executable.
#include "launcher/functions.h"

#include "launcher/paths.h"
#include "launcher/win32/syscalls.h"
#include "platform/text.h"
#include "platform/win32/executable.h"

namespace launcher {

std::string getAppFilename() {
  return platform::toUtf8(platform::executablePath(kernel32::GetModuleFileNameW));
}

std::string CurrentDir() {
  return splitPath(getAppFilename()).head;
}

}  // namespace launcher
