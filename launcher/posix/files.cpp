// File test through stat(2), which follows symbolic links.
#include "launcher/files.h"

#include <sys/stat.h>

#include <string>

namespace launcher {

bool existsFile(std::string_view path) {
  // The system would read only up to a NUL and so test some other, shorter path.
  if (path.find('\0') != std::string_view::npos) {
    return false;
  }
  const std::string terminated(path);
  struct stat status {};
  return ::stat(terminated.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

}  // namespace launcher
