// Finding the program's own executable through /proc/self/exe.
#include "launcher/functions.h"

#include <string>

#include "launcher/paths.h"
#include "platform/posix/executable.h"

namespace launcher {

std::string getAppFilename() {
  return platform::ownExecutablePath();
}

std::string CurrentDir() {
  return folderOf(getAppFilename());
}

}  // namespace launcher
