// Finding the program's own executable through /proc/self/exe.
#include "launcher/functions.h"

#include <cstddef>
#include <string>

#include "platform/posix/executable.h"

namespace launcher {

std::string getAppFilename() {
  return platform::ownExecutablePath();
}

// The root keeps its '/', as POSIX has no drive to stand for it.
std::string CurrentDir() {
  std::string path = getAppFilename();
  const std::size_t separator = path.rfind('/');
  if (separator == std::string::npos) {
    return {};
  }
  path.resize(separator == 0 ? 1 : separator);
  return path;
}

}  // namespace launcher
